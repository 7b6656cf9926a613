#pragma once

#include <QString>

#include <exception>

// A run-time error that ends the current handler; the error guard shows its text in the error box.
class VellumoError : public std::exception
{
public:
    explicit VellumoError(QString message);

    static VellumoError notAnInteger(const QString &text);
    static VellumoError unableToWrite(const QString &path);
    static VellumoError cannotOpen(const QString &path);
    static VellumoError cannotCreate(const QString &path);
    static VellumoError unknownPictureExtension(const QString &extension);
    static VellumoError listIndexOutOfBounds(int index);
    static VellumoError integerOverflow();

    const QString &message() const { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

    // The error box appends a full stop when the text ends in a character that sorts after ".".
    static QString withFullStop(const QString &text);

private:
    QString m_message;
    QByteArray m_utf8;
};
