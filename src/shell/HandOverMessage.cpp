#include "shell/HandOverMessage.h"

#include <QStringDecoder>

namespace HandOverMessage {

QByteArray encode(const QString &path)
{
    return path.toUtf8().toBase64();
}

std::optional<QString> decode(const QByteArray &line)
{
    if (line.size() > kMaxLine)
        return std::nullopt;
    const auto decoded = QByteArray::fromBase64Encoding(line.trimmed(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return std::nullopt;
    const QByteArray bytes = *decoded;
    if (bytes.contains('\0'))
        return std::nullopt;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString path = utf8.decode(bytes);
    if (utf8.hasError())
        return std::nullopt;
    return path;
}

} // namespace HandOverMessage
