import java.awt.BorderLayout;
import java.awt.event.KeyEvent;
import java.io.File;
import java.io.IOException;
import javax.swing.JComponent;
import javax.swing.JEditorPane;
import javax.swing.JFrame;
import javax.swing.JScrollPane;
import javax.swing.KeyStroke;
import javax.swing.SwingUtilities;
import javax.swing.event.HyperlinkEvent;

// Tarvo's help viewer: shows the help pages of this folder in a window titled "Tarvo Help".
public class Tester {
    public static void main(String[] args) {
        SwingUtilities.invokeLater(() -> {
            JFrame frame = new JFrame("Tarvo Help");
            JEditorPane pane = new JEditorPane();
            pane.setEditable(false);
            pane.addHyperlinkListener(event -> {
                if (event.getEventType() == HyperlinkEvent.EventType.ACTIVATED) {
                    try {
                        pane.setPage(event.getURL());
                    } catch (IOException e) {
                        pane.setText("Cannot show " + event.getURL());
                    }
                }
            });
            try {
                pane.setPage(new File("index.html").toURI().toURL());
            } catch (IOException e) {
                pane.setText("The help pages are missing from the Tarvo help folder.");
            }
            frame.getContentPane().add(new JScrollPane(pane), BorderLayout.CENTER);
            frame.setSize(640, 560);
            frame.setDefaultCloseOperation(JFrame.DISPOSE_ON_CLOSE);
            // Escape closes the window, as it closes other help windows.
            frame.getRootPane().registerKeyboardAction(event -> frame.dispose(),
                    KeyStroke.getKeyStroke(KeyEvent.VK_ESCAPE, 0),
                    JComponent.WHEN_IN_FOCUSED_WINDOW);
            frame.setVisible(true);
        });
    }
}
