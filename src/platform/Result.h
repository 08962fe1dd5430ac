#pragma once

#include <QString>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <utility>

namespace tevo {

// The outcome of a call that can fail: ok, or an error message a person can act on
// (it names the file, program or host concerned and what went wrong), optionally with details
// for support staff that would crowd the message (the folders searched, for example), and the
// numbers the failing layer reported: its own code (errno, libcurl's or SQLite's result code)
// and the operating-system error behind it when that layer reports one apart (0 when none).
class [[nodiscard]] Status
{
public:
    static Status ok() { return Status(); }
    static Status error(QString message, QString details = QString())
    {
        Status s;
        s.m_failed = true;
        s.m_message = std::move(message);
        s.m_details = std::move(details);
        return s;
    }
    // An error that carries the failing layer's numbers beside its message.
    static Status failure(QString message, int code, int systemError = 0)
    {
        Status s = error(std::move(message));
        s.m_code = code;
        s.m_systemError = systemError;
        return s;
    }

    bool isOk() const { return !m_failed; }
    explicit operator bool() const { return isOk(); }
    const QString& message() const { return m_message; }
    const QString& details() const { return m_details; }
    int code() const { return m_code; }
    int systemError() const { return m_systemError; }

private:
    bool m_failed = false;
    QString m_message;
    QString m_details;
    int m_code = 0;
    int m_systemError = 0;
};

// A value or an error (a Status, with all it carries).
template <typename T> class [[nodiscard]] Result
{
public:
    Result(T value) : m_value(std::move(value)) {}
    static Result error(QString message, QString details = QString())
    {
        return error(Status::error(std::move(message), std::move(details)));
    }
    static Result error(Status status)
    {
        Result r;
        r.m_status = status.isOk() ? Status::error(QString()) : std::move(status);
        return r;
    }

    bool isOk() const { return m_value.has_value(); }
    explicit operator bool() const { return isOk(); }
    const T& value() const
    {
        if (!m_value)
            valueOfError();
        return *m_value;
    }
    T& value()
    {
        if (!m_value)
            valueOfError();
        return *m_value;
    }
    // The error's message (empty when ok).
    const QString& error() const { return m_status.message(); }
    // Ok, or the whole error.
    Status status() const { return m_status; }

private:
    Result() = default;
    // Reading the value of an error is a programming fault: stop in every build, not only in
    // debug builds, rather than read an empty value.
    [[noreturn]] void valueOfError() const
    {
        std::fprintf(stderr, "Result::value() read from an error: %s\n",
                     qUtf8Printable(m_status.message()));
        std::abort();
    }
    std::optional<T> m_value;
    Status m_status;
};

} // namespace tevo
