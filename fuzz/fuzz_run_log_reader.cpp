// Any bytes into the run-log reader: it must end with either rows of the header's width or a
// message naming a line inside the file, and never crash.
#include "product/RunLogReader.h"
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const TRunLogContent content = ReadRunLogBytes(bytes);
    if (content.Error.isEmpty()) {
        for (const QList<double> &row : content.Rows)
            if (row.size() != content.Columns.size())
                std::abort();
    } else if (!content.Rows.isEmpty() || content.ErrorLine < 0 || content.ErrorLine > bytes.count('\n') + 1) {
        std::abort();
    }
    return 0;
}
