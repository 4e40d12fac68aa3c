// Scans arbitrary text and checks the result against the literal scan: the same entries, each
// with the same offset, the same project calls, and never more entries than offset slots.
#include "literalscanner.h"
#include "model/javasourcescanner.h"
#include "recordingsink.h"

#include <cstddef>
#include <cstdint>

namespace {
// The literal scan copies the rest of the text on every pass; longer inputs would only make
// it slow.
constexpr size_t kMaxInputSize = 16 * 1024;

void check(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size > kMaxInputSize) {
        return 0;
    }
    const QString text =
        QString::fromLatin1(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QString path = QStringLiteral("F.java");
    JavaSourceScanner scanner;
    RecordingSink scanCalls;
    scanner.ScanSource(text, path, &scanCalls);
    LiteralScanner literal;
    RecordingSink literalCalls;
    literal.scan(text, path, &literalCalls);

    const int listed = static_cast<int>(scanner.entries().size());
    check(listed <= JavaSourceScanner::kMaxEntries);
    check(scanner.entries() == literal.entryNames.mid(0, JavaSourceScanner::kMaxEntries));
    for (int i = 0; i < listed; ++i) {
        check(scanner.entryOffset(i) == literal.entryOffsets[i]);
        check(scanner.entryOffset(i) >= 0 && scanner.entryOffset(i) <= text.size());
    }
    check(scanner.entryOffset(listed) == -1);
    check(scanCalls.m_calls == literalCalls.m_calls);
    return 0;
}
