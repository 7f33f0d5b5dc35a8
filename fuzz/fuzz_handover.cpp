// The line a second copy hands over: read strictly, a path or nothing; a path read back is the
// path sent.
#include "shell/HandOverMessage.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray line = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const auto path = HandOverMessage::decode(line);
    if (!path)
        return 0;
    if (path->contains(QChar(0)) || HandOverMessage::decode(HandOverMessage::encode(*path)) != path)
        std::abort();
    return 0;
}
