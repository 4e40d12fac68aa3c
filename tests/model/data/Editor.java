package editor;

import java.awt.*;
import java.awt.event.*;

/**
 * A small window with a text area.
 */
public class Editor extends Frame
        implements ActionListener, WindowListener {
    private TextArea area = new TextArea(20, 60);

    public Editor(String title,
                  int width,
                  int height) {
        super(title);
        add(area);
        addWindowListener(new WindowAdapter() {
            public void windowClosing(WindowEvent e) {
                dispose();
            }
        });
    }

    @Override
    public void actionPerformed(ActionEvent event) {
        area.append(event.getActionCommand());
    }

    public static <T extends Comparable<T>> T largest(T a,	T b) {
        return a.compareTo(b) >= 0 ? a : b;
    }

    class KeyWatcher extends KeyAdapter {
        public void keyTyped(KeyEvent e) {
            Runnable r = () -> { area.repaint(); };
            r.run();
        }
    }

    public void windowOpened(WindowEvent e) {}
    public void windowClosed(WindowEvent e) {}
}
// end of Editor { }