#pragma once

#include <QObject>
#include <QString>
#include <gtest/gtest.h>

// The child of that objectName; the test fails with the name when there is none, so a renamed
// control is reported as such and not as a crash.
template <typename T> T* Child(const QObject* parent, const char* name) {
    T* found = parent->findChild<T*>(QLatin1String(name));
    EXPECT_NE(found, nullptr) << "no child named " << name;
    return found;
}
