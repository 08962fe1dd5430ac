#pragma once

#include <QString>
#include <QtGlobal>

namespace tevo {

// The system number sent to the vendor's pages: the volume serial number as signed decimal text
// with every character other than 0-9, A-Z and a-z dropped (in practice the minus sign). A serial
// with its top bit set therefore gives the digits of the negative value, not of the unsigned one.
QString systemNumberFromSerial(qint32 serial);

} // namespace tevo
