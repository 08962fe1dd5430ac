#pragma once

#include "platform/Result.h"

#include <QByteArrayView>
#include <QString>

namespace tevo {

// A file that only its owner may read and write (mode 0600, whatever the umask or the mode of
// the file it replaces), written whole or not at all: the bytes go to a new temporary file in
// the same folder, which then takes the file's name by a rename.
//
// Only a missing file or a regular file of the user's own is replaced. Anything else at the
// path is refused and left exactly as it is: a symbolic link (never followed, so that a link
// planted in a shared folder cannot lead the write onto another file), a folder, a device, a
// named pipe, a socket, or a file of another user. The path is looked at again just before the
// rename. A refusal or a failure is a message that names the file and says why (a full disk,
// no permission); the temporary file is removed then.
namespace PrivateFile {

Status write(const QString& path, QByteArrayView bytes);

} // namespace PrivateFile

} // namespace tevo
