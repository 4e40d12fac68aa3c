package tarvo.service;

import java.io.IOException;
import java.io.OutputStream;
import java.util.Collections;
import java.util.Map;

/**
 * The service's end of the channel to Tarvo: frames are written whole, one at a time, from any
 * thread. When Tarvo no longer reads, the service has no one left to serve and ends.
 */
final class Channel {
    private final OutputStream out;

    Channel(OutputStream out) {
        this.out = out;
    }

    void send(long id, String kind, Map<String, Object> fields) {
        byte[] frame = FrameCodec.encode(Message.record(id, kind, fields));
        synchronized (this) {
            try {
                out.write(frame);
                out.flush();
            } catch (IOException gone) {
                Runtime.getRuntime().halt(0);
            }
        }
    }

    /** A frame that answers no request: id 0. */
    void event(String kind, Map<String, Object> fields) {
        send(0, kind, fields);
    }

    static Map<String, Object> noFields() {
        return Collections.emptyMap();
    }
}
