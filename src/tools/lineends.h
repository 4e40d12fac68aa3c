#pragma once

#include <QByteArray>
#include <QByteArrayView>

// Appends chunk to captured tool output, which keeps every line end as CR LF: a LF that does not
// follow a CR gets a CR put before it, while CR LF pairs and lone CRs stay as they are. The result
// is exactly what appending the chunk and then replacing every CR LF of the whole text by LF and
// every LF by CR LF gives, but the cost is proportional to the chunk alone: only the last byte of
// the text so far matters, so a CR LF split over two reads stays one CR LF.
//
// NUL bytes in the chunk are dropped; every other byte is kept.
void AppendCapturedChunk(QByteArray &text, QByteArrayView chunk);
