#pragma once

#include <QByteArray>
#include <QByteArrayView>

// Captured tool output keeps every line end as CR LF: a LF that does not follow a CR gets a CR
// put before it, while CR LF pairs and lone CRs stay as they are. This is what replacing every
// CR LF of the whole text by LF and then every LF by CR LF gives, but it only looks at the new
// bytes: previousByte is the last byte of the text captured so far ('\0' when there is none),
// so a CR LF split over two reads stays one CR LF.
//
// NUL bytes are dropped; every other byte is kept.
QByteArray NormaliseCapturedChunk(QByteArrayView chunk, char previousByte);
