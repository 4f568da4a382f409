#pragma once
#include <QObject>
#include <QString>

#include <functional>

namespace history {

// "Test connection": tries the address on a thread of its own (a server that does not
// answer takes up to the 5 s timeout) and hands the answer in plain words to `answer` on
// `context`'s thread. A wrong address is answered at once. The answer is dropped when
// `context` is gone by then.
void probeShop(const QString& addressText, QObject* context, std::function<void(const QString& words)> answer);

}  // namespace history
