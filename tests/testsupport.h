#pragma once

// Helpers shared by the tests.

#include <QByteArray>
#include <QString>

#include <functional>

namespace corvane::test {

QByteArray readBytes(const QString &path);
bool writeBytes(const QString &path, const QByteArray &bytes);

// Runs fn in a child process and returns its exit status (-1 when it did not exit normally). When
// the tests run as root, the child first drops to the unprivileged user "nobody", so that file
// permissions apply to it as they do to an operator.
int runInChild(const std::function<int()> &fn, bool unprivileged);

// Runs fn in a child process whose files may not grow beyond limit bytes, as on a full disk.
int runWithFileSizeLimit(const std::function<int()> &fn, long limit);

} // namespace corvane::test
