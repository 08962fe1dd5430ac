#pragma once

#include <QString>

#include <optional>
#include <utility>

namespace tevo {

// The outcome of a call that can fail: ok, or an error message a person can act on
// (it names the file, program or host concerned and what went wrong), optionally with details
// for support staff that would crowd the message (the folders searched, for example).
class Status
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

    bool isOk() const { return !m_failed; }
    explicit operator bool() const { return isOk(); }
    const QString& message() const { return m_message; }
    const QString& details() const { return m_details; }

private:
    bool m_failed = false;
    QString m_message;
    QString m_details;
};

// A value or an error message. Accessing value() of an error is a programming fault.
template <typename T> class Result
{
public:
    Result(T value) : m_value(std::move(value)) {}
    // NOLINTNEXTLINE(performance-unnecessary-value-param): moved below (a false finding)
    static Result error(QString message)
    {
        Result r;
        r.m_error = std::move(message);
        return r;
    }

    bool isOk() const { return m_value.has_value(); }
    explicit operator bool() const { return isOk(); }
    const T& value() const { return *m_value; }
    T& value() { return *m_value; }
    const QString& error() const { return m_error; }
    Status status() const { return isOk() ? Status::ok() : Status::error(m_error); }

private:
    Result() = default;
    std::optional<T> m_value;
    QString m_error;
};

} // namespace tevo
