package p;
import java.awt.*;

public class Foo extends Frame {
  public Foo() {
  }
  public void paint(Graphics g) {
  }
}
