#include "sms/message_parts.h"

#include "sms/send_check.h"

namespace zelvo::sms {

namespace {

QString partPrefix(int part, int total) {
    return QStringLiteral("(%1/%2)").arg(part).arg(total);
}

// The room for text in a part after its number.
qsizetype partRoom(int part, int total) {
    return MessageLimit - 1 - partPrefix(part, total).size();
}

QString partRange(int first, int last) {
    return first == last ? QStringLiteral("第 %1 条").arg(first)
                         : QStringLiteral("第 %1 至 %2 条").arg(first).arg(last);
}

}  // namespace

MessageParts splitMessage(const QString& message) {
    if (charactersLeft(message) >= 0) return {{message}, charactersLeft(message)};
    // The fewest parts that hold it: with more parts each one's number may only grow longer.
    for (int total = 2;; ++total) {
        QStringList parts;
        qsizetype at = 0;
        for (int part = 1; part <= total && at < message.size(); ++part) {
            qsizetype end = std::min(message.size(), at + partRoom(part, total));
            if (end < message.size() &&
                ((message[end - 1].isHighSurrogate() && message[end].isLowSurrogate()) ||
                 (message[end - 1] == u'\r' && message[end] == u'\n')))
                --end;
            parts << partPrefix(part, total) + message.sliced(at, end - at);
            at = end;
        }
        if (at == message.size()) return {parts, charactersLeft(parts.last())};
        if (total == MaxMessageParts) return {{}, -int(message.size() - at)};
    }
}

int longestSplitMessage() {
    qsizetype room = 0;
    for (int part = 1; part <= MaxMessageParts; ++part) room += partRoom(part, MaxMessageParts);
    return int(room);
}

QString partsOutcome(int sent, int total) {
    if (sent == 0) return QStringLiteral("%1都没有发送。").arg(partRange(1, total));
    return QStringLiteral("已发送%1, %2没有发送。")
        .arg(partRange(1, sent), partRange(sent + 1, total));
}

QString partNotSent(int failed) {
    return QStringLiteral("没有发送: 第 %1 条发送失败后不再发送").arg(failed);
}

}  // namespace zelvo::sms
