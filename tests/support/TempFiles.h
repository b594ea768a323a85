// Files that tests write for the code under test to read.
#pragma once

#include <QByteArray>
#include <QString>

// Writes `bytes` to `path`, replacing what is there and making its folders;
// fails the running test when it cannot. Returns `path`.
QString writeFile(const QString& path, const QByteArray& bytes);
