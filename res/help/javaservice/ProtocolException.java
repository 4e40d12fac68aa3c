package tarvo.service;

import java.io.IOException;

/** A frame that breaks the protocol: the channel cannot be read on after it. */
final class ProtocolException extends IOException {
    private static final long serialVersionUID = 1L;

    ProtocolException(String message) {
        super(message);
    }
}
