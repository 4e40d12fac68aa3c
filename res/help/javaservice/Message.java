package tarvo.service;

import java.util.Collections;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;

/**
 * One frame of the protocol: a record whose "id" and "kind" say which request it is or answers
 * and what it is, with the fields of its kind beside them. Field values are String, byte[],
 * Long, List of values or Map of fields.
 */
final class Message {
    static final String ID = "id";
    static final String KIND = "kind";
    /** Set to 1 on a reply that more replies to the same request follow. */
    static final String PARTIAL = "partial";

    final long id;
    final String kind;
    final Map<String, Object> fields;

    Message(long id, String kind, Map<String, Object> fields) {
        this.id = id;
        this.kind = kind;
        this.fields = fields;
    }

    /** The message a record read from a frame holds; a record without id or kind is none. */
    static Message fromRecord(Map<String, Object> record) throws ProtocolException {
        Object id = record.get(ID);
        Object kind = record.get(KIND);
        if (!(id instanceof Long) || !(kind instanceof String)) {
            throw new ProtocolException("a frame without id or kind");
        }
        return new Message((Long) id, (String) kind, record);
    }

    /** The record to write for a message of this id and kind with these fields. */
    static Map<String, Object> record(long id, String kind, Map<String, Object> fields) {
        Map<String, Object> record = new LinkedHashMap<>(fields);
        record.put(ID, id);
        record.put(KIND, kind);
        return record;
    }

    String string(String name) {
        Object value = fields.get(name);
        return value instanceof String ? (String) value : "";
    }

    long number(String name) {
        Object value = fields.get(name);
        return value instanceof Long ? (Long) value : 0;
    }

    @SuppressWarnings("unchecked")
    List<Object> list(String name) {
        Object value = fields.get(name);
        return value instanceof List ? (List<Object>) value : Collections.emptyList();
    }

    /** A list field of strings; values of other types are left out. */
    List<String> strings(String name) {
        List<String> strings = new java.util.ArrayList<>();
        for (Object value : list(name)) {
            if (value instanceof String) {
                strings.add((String) value);
            }
        }
        return strings;
    }
}
