#pragma once

#include <QString>

namespace tevo {

class ProfileFiles;
class WorkingDirectory;

// The host names of the vendor's services, from section "Online" of the suite INI file
// (keys ServiceHost, DownloadHost, LicensingHost), each falling back to the build's default.
// Every value is a plain `host` or `host:port`: the scheme and path of each address are fixed by
// the program, so a configured value that carries anything else (a scheme, "/", "@", a blank, a
// query) is ignored in favour of the default.
struct HostConfig
{
    QString serviceHost;
    QString downloadHost;
    QString licensingHost;

    // The build's defaults only.
    static HostConfig defaults();
    // The suite INI file of the working directory's drive over the defaults. A missing drive
    // root, file or key leaves the default.
    static HostConfig load(ProfileFiles& profiles, const WorkingDirectory& workingDirectory);
};

// True for a DNS name or IPv4 address ("service.example.com", "10.0.0.5"), or a bracketed IPv6
// address ("[::1]"), optionally followed by ":" and a port from 1 to 65535.
bool isPlainHost(const QString& text);

} // namespace tevo
