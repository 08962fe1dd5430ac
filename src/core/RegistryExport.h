#pragma once

#include "platform/Result.h"
#include "platform/SettingsStore.h"

#include <QByteArrayView>

#include <optional>
#include <vector>

namespace tevo {

// A Windows registry export (.reg file) of the settings the suite's programs kept on Windows:
// string values below HKEY_CURRENT_USER\Software\VB and VBA Program Settings\, where the next
// key name is the application and the rest of the key path the section (a section such as
// C:\GARVO is the nested keys "C:" and "GARVO").
//
// Three forms are read, told apart by the first line: "Windows Registry Editor Version 5.00"
// in UTF-16LE with a byte-order mark, the same header in UTF-8 (byte-order mark optional), and
// "REGEDIT4" in code page 950. Lines end in CR LF or LF.
//
// Keys elsewhere in the registry are skipped whole, as are keys without values, comment lines
// (";") and the default value ("@"). Below the settings key, a value is "name"="text" with the
// registry editor's escapes \\ and \"; any other type (dword:, hex:, hex(N):), a deletion
// ("-" or [-key]), a value directly under an application's key, or a line that does not have
// one of these forms refuses the whole file, as does text that is not valid in the file's
// encoding. The message starts with the line number.
namespace RegistryExport {

enum class Form
{
    Unicode, // "Windows Registry Editor Version 5.00", UTF-16LE with byte-order mark
    Utf8,    // the same header in UTF-8
    Regedit4 // "REGEDIT4", code page 950
};

// The form by the file's first line; nullopt when the file is not a registry export.
std::optional<Form> recognise(QByteArrayView bytes);
// The settings' string values in the order of the file; sections as the key path holds them.
Result<std::vector<SettingsStore::Entry>> parse(QByteArrayView bytes);

} // namespace RegistryExport

} // namespace tevo
