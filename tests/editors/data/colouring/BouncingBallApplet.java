import java.applet.Applet;
import java.awt.*;

/**
 * A ball that bounces inside the applet's area. The speed comes from
 * the "speed" parameter of the applet tag, for example
 * <param name="speed" value="4">.
 */
public class BouncingBallApplet extends Applet implements Runnable {
	private static final int SIZE = 20;   // diameter in pixels
	private Thread animator;
	private int x = 10, y = 10, dx = 2, dy = 3;

	public void init() {
		String speed = getParameter("speed");
		if (speed != null) {
			try {
				dx = dy = Integer.parseInt(speed);
			} catch (NumberFormatException e) {
				showStatus("Bad speed: \"" + speed + "\"");
			}
		}
		setBackground(Color.white);
	}

	public void start() {
		animator = new Thread(this);
		animator.start();
	}

	public void stop() {
		animator = null; /* run() sees this and ends */
	}

	public void run() {
		while (Thread.currentThread() == animator) {
			Dimension area = getSize();
			if (x + dx < 0 || x + dx + SIZE > area.width) dx = -dx;
			if (y + dy < 0 || y + dy + SIZE > area.height) dy = -dy;
			x += dx;
			y += dy;
			repaint();
			try {
				Thread.sleep(40);
			} catch (InterruptedException e) {
				return;
			}
		}
	}

	public void paint(Graphics g) {
		g.setColor(Color.red);
		g.fillOval(x, y, SIZE, SIZE);
		g.drawString("x=" + x + ", y=" + y, 4, 14);
	}
}
