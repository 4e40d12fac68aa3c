package tarvo.service;

import java.util.HashMap;
import java.util.Iterator;
import java.util.Map;
import java.util.concurrent.LinkedBlockingDeque;
import java.util.concurrent.TimeUnit;

/**
 * Hands each request to the handler of its kind, in the order they came, on one worker thread,
 * so that a compile has the whole service to itself. Kinds registered as quick (completion, which
 * the user waits for at the keyboard) have a worker thread of their own and never wait behind a
 * build or a check. Cancels are served at once, on the reading thread. Once a worker's queue has
 * been empty a while after some work, the heap is collected, so that the idle service gives
 * memory back.
 */
final class Dispatcher {
    private static final long SETTLE_SECONDS = 2;

    private final Channel channel;
    private final Map<String, Handler> handlers = new HashMap<>();
    private final Lane work = new Lane();
    private final Lane quick = new Lane();
    private final Map<String, Lane> lanes = new HashMap<>();

    private static final class Pending {
        final Message request;
        final Reply reply;

        Pending(Message request, Reply reply) {
            this.request = request;
            this.reply = reply;
        }
    }

    /** The requests one worker thread serves, one at a time. */
    private final class Lane {
        final LinkedBlockingDeque<Pending> queue = new LinkedBlockingDeque<>();
        volatile Pending running;

        boolean cancel(long id) {
            for (Iterator<Pending> waiting = queue.iterator(); waiting.hasNext();) {
                Pending pending = waiting.next();
                if (pending.request.id == id) {
                    waiting.remove();
                    pending.reply.last(Kinds.CANCELLED, Channel.noFields());
                    return true;
                }
            }
            Pending current = running;
            if (current != null && current.request.id == id) {
                current.reply.cancel();
                return true;
            }
            return false;
        }

        void serve() {
            boolean workedSinceCollect = false;
            for (;;) {
                Pending next;
                try {
                    next = queue.poll(SETTLE_SECONDS, TimeUnit.SECONDS);
                } catch (InterruptedException interrupted) {
                    return;
                }
                if (next == null) {
                    if (workedSinceCollect) {
                        System.gc();
                        workedSinceCollect = false;
                    }
                    continue;
                }
                running = next;
                run(next);
                running = null;
                workedSinceCollect = true;
            }
        }
    }

    Dispatcher(Channel channel) {
        this.channel = channel;
    }

    void register(String kind, Handler handler) {
        handlers.put(kind, handler);
    }

    /** A kind whose requests are served on the quick worker. */
    void registerQuick(String kind, Handler handler) {
        handlers.put(kind, handler);
        lanes.put(kind, quick);
    }

    /** Called by the reading thread for every request. */
    void dispatch(Message request) {
        if (Kinds.CANCEL.equals(request.kind)) {
            long id = request.number("request");
            if (!work.cancel(id)) {
                quick.cancel(id);
            }
            return;
        }
        Lane lane = lanes.getOrDefault(request.kind, work);
        lane.queue.add(new Pending(request, new Reply(channel, request.id)));
    }

    /** Serves requests until the process ends; the quick worker runs beside it. */
    void serve() {
        Thread quickWorker = new Thread(quick::serve, "quick requests");
        quickWorker.setDaemon(true);
        quickWorker.start();
        work.serve();
    }

    private void run(Pending pending) {
        Handler handler = handlers.get(pending.request.kind);
        if (handler == null) {
            pending.reply.error("unknown request kind " + pending.request.kind);
            return;
        }
        try {
            handler.handle(pending.request, pending.reply);
            if (!pending.reply.hasEnded()) {
                pending.reply.error("no reply");
            }
        } catch (Throwable failure) {
            pending.reply.error(failure.toString());
        }
    }
}
