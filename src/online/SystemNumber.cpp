#include "online/SystemNumber.h"

namespace tevo {

QString systemNumberFromSerial(qint32 serial)
{
    QString number;
    for (QChar c : QString::number(serial)) {
        if ((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'))
            number += c;
    }
    return number;
}

} // namespace tevo
