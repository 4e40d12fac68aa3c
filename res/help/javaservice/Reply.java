package tarvo.service;

import java.util.LinkedHashMap;
import java.util.Map;

/**
 * The replies to one request. Partial replies may come first; the last one ends the request,
 * and nothing is sent for it after that. A request can be cancelled while it runs: the handler
 * looks at isCancelled() where it can stop.
 */
final class Reply {
    private final Channel channel;
    private final long id;
    private volatile boolean cancelled;
    private boolean ended;

    Reply(Channel channel, long id) {
        this.channel = channel;
        this.id = id;
    }

    long id() {
        return id;
    }

    synchronized void partial(String kind, Map<String, Object> fields) {
        if (ended) {
            return;
        }
        Map<String, Object> marked = new LinkedHashMap<>(fields);
        marked.put(Message.PARTIAL, 1L);
        channel.send(id, kind, marked);
    }

    synchronized void last(String kind, Map<String, Object> fields) {
        if (ended) {
            return;
        }
        ended = true;
        channel.send(id, kind, fields);
    }

    /** The request failed: "error" with what went wrong. */
    void error(String message) {
        Map<String, Object> fields = new LinkedHashMap<>();
        fields.put("message", message);
        last(Kinds.ERROR, fields);
    }

    synchronized boolean hasEnded() {
        return ended;
    }

    void cancel() {
        cancelled = true;
    }

    boolean isCancelled() {
        return cancelled;
    }
}
