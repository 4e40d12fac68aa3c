package tarvo.service;

import java.io.ByteArrayOutputStream;
import java.io.OutputStream;
import java.util.LinkedHashMap;
import java.util.Map;
import java.util.concurrent.Executors;
import java.util.concurrent.ScheduledExecutorService;
import java.util.concurrent.TimeUnit;

/**
 * The output of a tool run, sent to Tarvo as partial "output" replies while the tool runs: what
 * is flushed goes at once when the last frame went a while ago, else a moment later together
 * with what follows, so that a tool printing many short lines sends few frames and a tool that
 * prints a line and works on shows it at once.
 */
final class OutputFrames extends OutputStream {
    private static final long GATHER_MILLIS = 20;
    private static final int LARGEST_FRAME = 64 * 1024;
    private static final ScheduledExecutorService LATER =
            Executors.newSingleThreadScheduledExecutor(work -> {
                Thread thread = new Thread(work, "output frames");
                thread.setDaemon(true);
                return thread;
            });

    private final Reply reply;
    private final ByteArrayOutputStream pending = new ByteArrayOutputStream();
    private long lastSent;
    private boolean sendScheduled;

    OutputFrames(Reply reply) {
        this.reply = reply;
    }

    @Override
    public synchronized void write(int b) {
        pending.write(b);
        sendIfLarge();
    }

    @Override
    public synchronized void write(byte[] bytes, int offset, int length) {
        pending.write(bytes, offset, length);
        sendIfLarge();
    }

    @Override
    public synchronized void flush() {
        if (pending.size() == 0 || sendScheduled) {
            return;
        }
        long waited = System.currentTimeMillis() - lastSent;
        if (waited >= GATHER_MILLIS) {
            send();
            return;
        }
        sendScheduled = true;
        LATER.schedule(this::sendScheduled, GATHER_MILLIS - waited, TimeUnit.MILLISECONDS);
    }

    /** Sends what is left; call before the tool's last reply. */
    @Override
    public synchronized void close() {
        send();
    }

    private synchronized void sendScheduled() {
        sendScheduled = false;
        send();
    }

    private void sendIfLarge() {
        if (pending.size() >= LARGEST_FRAME) {
            send();
        }
    }

    private void send() {
        if (pending.size() == 0) {
            return;
        }
        Map<String, Object> fields = new LinkedHashMap<>();
        fields.put("data", pending.toByteArray());
        pending.reset();
        lastSent = System.currentTimeMillis();
        reply.partial(Kinds.OUTPUT, fields);
    }
}
