#pragma once

#include <QString>

#include <optional>
#include <utility>

// What an operation hands back: its value, or none and why, in words the user can be shown. The
// reason is empty where there is nothing to say (a dialog cancelled, a token that names no piece).
template <class T> class Explained
{
public:
    Explained(T value)
        : m_value(std::move(value))
    {
    }
    static Explained none(QString why = QString())
    {
        Explained nothing;
        nothing.m_why = std::move(why);
        return nothing;
    }

    explicit operator bool() const { return m_value.has_value(); }
    const T &operator*() const { return *m_value; }
    T &operator*() { return *m_value; }
    const T *operator->() const { return &*m_value; }
    T value_or(T otherwise) const { return m_value ? *m_value : std::move(otherwise); }
    // Empty while there is a value.
    const QString &why() const { return m_why; }

private:
    Explained() = default;

    std::optional<T> m_value;
    QString m_why;
};
