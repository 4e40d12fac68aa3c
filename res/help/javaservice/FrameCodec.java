package tarvo.service;

import java.io.ByteArrayOutputStream;
import java.io.DataInputStream;
import java.io.DataOutputStream;
import java.io.EOFException;
import java.io.IOException;
import java.io.InputStream;
import java.nio.charset.StandardCharsets;
import java.util.ArrayList;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;

/**
 * The framing of the protocol, the same on both sides. A frame is a 4-byte big-endian length and
 * that many bytes holding one record. A record is a 4-byte count and that many pairs of a name
 * (a string) and a value. A value is a tag byte and its body:
 * 's' a string (4-byte length, UTF-8), 'b' bytes (4-byte length, the bytes), 'i' an 8-byte
 * big-endian integer, 'l' a list (4-byte count, values), 'r' a record.
 */
final class FrameCodec {
    /** Larger frames break the protocol: a length that big is garbage. */
    static final int MAX_FRAME = 512 * 1024 * 1024;

    private FrameCodec() {}

    /** The next frame's record, or null at the end of the input between frames. */
    static Map<String, Object> read(DataInputStream in) throws IOException {
        int length;
        try {
            length = in.readInt();
        } catch (EOFException end) {
            return null;
        }
        if (length < 0 || length > MAX_FRAME) {
            throw new ProtocolException("a frame of " + length + " bytes");
        }
        byte[] body = new byte[length];
        in.readFully(body);
        DataInputStream frame = new DataInputStream(new java.io.ByteArrayInputStream(body));
        Map<String, Object> record = readRecord(frame);
        if (frame.available() != 0) {
            throw new ProtocolException("bytes after the record of a frame");
        }
        return record;
    }

    static byte[] encode(Map<String, Object> record) {
        try {
            ByteArrayOutputStream body = new ByteArrayOutputStream();
            writeRecord(new DataOutputStream(body), record);
            ByteArrayOutputStream frame = new ByteArrayOutputStream(body.size() + 4);
            new DataOutputStream(frame).writeInt(body.size());
            body.writeTo(frame);
            return frame.toByteArray();
        } catch (IOException impossible) {
            throw new IllegalStateException(impossible);
        }
    }

    private static Map<String, Object> readRecord(DataInputStream in) throws IOException {
        int count = readCount(in);
        Map<String, Object> record = new LinkedHashMap<>();
        for (int index = 0; index < count; ++index) {
            String name = new String(readBytes(in), StandardCharsets.UTF_8);
            record.put(name, readValue(in));
        }
        return record;
    }

    private static Object readValue(DataInputStream in) throws IOException {
        int tag = in.readUnsignedByte();
        switch (tag) {
        case 's':
            return new String(readBytes(in), StandardCharsets.UTF_8);
        case 'b':
            return readBytes(in);
        case 'i':
            return in.readLong();
        case 'l': {
            int count = readCount(in);
            List<Object> list = new ArrayList<>();
            for (int index = 0; index < count; ++index) {
                list.add(readValue(in));
            }
            return list;
        }
        case 'r':
            return readRecord(in);
        default:
            throw new ProtocolException("a value of unknown type " + tag);
        }
    }

    private static int readCount(InputStream in) throws IOException {
        int count = new DataInputStream(in).readInt();
        if (count < 0 || count > in.available()) {
            throw new ProtocolException("a count of " + count + " beyond the frame");
        }
        return count;
    }

    private static byte[] readBytes(DataInputStream in) throws IOException {
        byte[] bytes = new byte[readCount(in)];
        in.readFully(bytes);
        return bytes;
    }

    private static void writeRecord(DataOutputStream out, Map<?, ?> record) throws IOException {
        out.writeInt(record.size());
        for (Map.Entry<?, ?> field : record.entrySet()) {
            writeBytes(out, field.getKey().toString().getBytes(StandardCharsets.UTF_8));
            writeValue(out, field.getValue());
        }
    }

    private static void writeValue(DataOutputStream out, Object value) throws IOException {
        if (value instanceof String) {
            out.writeByte('s');
            writeBytes(out, ((String) value).getBytes(StandardCharsets.UTF_8));
        } else if (value instanceof byte[]) {
            out.writeByte('b');
            writeBytes(out, (byte[]) value);
        } else if (value instanceof Number) {
            out.writeByte('i');
            out.writeLong(((Number) value).longValue());
        } else if (value instanceof Boolean) {
            out.writeByte('i');
            out.writeLong((Boolean) value ? 1 : 0);
        } else if (value instanceof List) {
            List<?> list = (List<?>) value;
            out.writeByte('l');
            out.writeInt(list.size());
            for (Object element : list) {
                writeValue(out, element);
            }
        } else if (value instanceof Map) {
            out.writeByte('r');
            writeRecord(out, (Map<?, ?>) value);
        } else {
            throw new IllegalArgumentException("no protocol type for " + value);
        }
    }

    private static void writeBytes(DataOutputStream out, byte[] bytes) throws IOException {
        out.writeInt(bytes.length);
        out.write(bytes);
    }
}
