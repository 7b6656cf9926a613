#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

// The control of type T named objectName anywhere under owner, as a reader finds it by its name.
// A name that is missing, or that names a control of another type, stops the program with both
// names: a mistyped name fails where it is written, not later as a null control.
template <class T> T *control(const QObject &owner, const QString &objectName)
{
    if (T *found = owner.findChild<T *>(objectName))
        return found;
    const QByteArray name = objectName.toUtf8();
    const QByteArray ownerName = owner.objectName().toUtf8();
    const char *wanted = T::staticMetaObject.className();
    if (const QObject *other = owner.findChild<QObject *>(objectName))
        qFatal("control \"%s\" of %s \"%s\" is a %s, not a %s", name.constData(), owner.metaObject()->className(),
            ownerName.constData(), other->metaObject()->className(), wanted);
    else
        qFatal("no control \"%s\" (%s) in %s \"%s\"", name.constData(), wanted, owner.metaObject()->className(),
            ownerName.constData());
    return nullptr;
}
