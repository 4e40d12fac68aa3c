import java.applet.Applet;
import java.applet.AppletContext;
import java.applet.AppletStub;
import java.applet.AudioClip;
import java.awt.Color;
import java.awt.Dimension;
import java.awt.EventQueue;
import java.awt.Frame;
import java.awt.Graphics2D;
import java.awt.GraphicsEnvironment;
import java.awt.Image;
import java.awt.Toolkit;
import java.awt.event.WindowAdapter;
import java.awt.event.WindowEvent;
import java.awt.image.BufferedImage;
import java.io.File;
import java.io.InputStream;
import java.lang.reflect.Field;
import java.net.URL;
import java.net.URLClassLoader;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.util.ArrayList;
import java.util.Collections;
import java.util.Enumeration;
import java.util.HashMap;
import java.util.Iterator;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;
import java.util.regex.Matcher;
import java.util.regex.Pattern;

/**
 * Tarvo's applet host, for JDKs that bring no appletviewer: reads the APPLET tags of an HTML page
 * (CODE, CODEBASE, ARCHIVE, NAME, WIDTH, HEIGHT and the PARAM tags inside), shows each applet in
 * a window of its size and runs init and start, then stop and destroy when its window closes.
 * The program ends when the last window is closed.
 *
 * With -Dtarvo.applethost.offscreen=true no window is shown: each applet is initialised, started,
 * painted once on an image of its size, stopped and destroyed, and every step is printed. Without
 * a display this needs --add-opens=java.desktop/java.awt=ALL-UNNAMED, because the applet classes
 * refuse to be made in a headless runtime.
 *
 * Written for Java 8 and later, and compiled with the JDK that runs it.
 */
@SuppressWarnings({"deprecation", "removal"})
public class AppletHost {

    static final class Tag {
        String code;
        String codebase;
        String archive;
        String name;
        int width = 300;
        int height = 300;
        final Map<String, String> params = new LinkedHashMap<String, String>();
    }

    private static final Pattern APPLET =
        Pattern.compile("<applet\\b([^>]*)>(.*?)(</applet\\s*>|(?=<applet\\b)|\\z)",
                        Pattern.CASE_INSENSITIVE | Pattern.DOTALL);
    private static final Pattern PARAM =
        Pattern.compile("<param\\b([^>]*)>", Pattern.CASE_INSENSITIVE | Pattern.DOTALL);
    private static final Pattern ATTRIBUTE =
        Pattern.compile("([A-Za-z_][-A-Za-z0-9_.:]*)\\s*(?:=\\s*(\"[^\"]*\"|'[^']*'|[^\\s\"'>]+))?");

    // The attributes of a tag, by lower-case name; a value keeps its case.
    static Map<String, String> attributes(String text) {
        Map<String, String> result = new HashMap<String, String>();
        Matcher matcher = ATTRIBUTE.matcher(text);
        while (matcher.find()) {
            String value = matcher.group(2);
            if (value == null) {
                value = "";
            } else if (value.startsWith("\"") || value.startsWith("'")) {
                value = value.substring(1, value.length() - 1);
            }
            String key = matcher.group(1).toLowerCase();
            if (!result.containsKey(key)) {
                result.put(key, value);
            }
        }
        return result;
    }

    static int size(String text, int otherwise) {
        if (text == null) {
            return otherwise;
        }
        try {
            int value = Integer.parseInt(text.trim());
            return value > 0 && value <= 10000 ? value : otherwise;
        } catch (NumberFormatException e) {
            return otherwise;
        }
    }

    static List<Tag> readTags(String page) {
        List<Tag> tags = new ArrayList<Tag>();
        Matcher matcher = APPLET.matcher(page);
        while (matcher.find()) {
            Map<String, String> attributes = attributes(matcher.group(1));
            Tag tag = new Tag();
            tag.code = attributes.get("code");
            tag.codebase = attributes.get("codebase");
            tag.archive = attributes.get("archive");
            tag.name = attributes.get("name");
            tag.width = size(attributes.get("width"), tag.width);
            tag.height = size(attributes.get("height"), tag.height);
            Matcher param = PARAM.matcher(matcher.group(2));
            while (param.find()) {
                Map<String, String> pair = attributes(param.group(1));
                if (pair.containsKey("name")) {
                    String value = pair.get("value");
                    tag.params.put(pair.get("name").toLowerCase(), value == null ? "" : value);
                }
            }
            tags.add(tag);
        }
        return tags;
    }

    // What an applet asks of its page: parameters, bases, and the other applets.
    static final class Stub implements AppletStub, AppletContext {
        final Tag tag;
        final URL documentBase;
        final URL codeBase;
        final List<Applet> applets;
        final Map<String, InputStream> streams;
        Frame frame;
        volatile boolean active;

        Stub(Tag tag, URL documentBase, URL codeBase, List<Applet> applets,
             Map<String, InputStream> streams) {
            this.tag = tag;
            this.documentBase = documentBase;
            this.codeBase = codeBase;
            this.applets = applets;
            this.streams = streams;
        }

        public boolean isActive() { return active; }
        public URL getDocumentBase() { return documentBase; }
        public URL getCodeBase() { return codeBase; }
        public String getParameter(String name) {
            if (name == null) {
                return null;
            }
            String key = name.toLowerCase();
            if (tag.params.containsKey(key)) {
                return tag.params.get(key);
            }
            if (key.equals("width")) {
                return Integer.toString(tag.width);
            }
            if (key.equals("height")) {
                return Integer.toString(tag.height);
            }
            return null;
        }
        public AppletContext getAppletContext() { return this; }
        public void appletResize(int width, int height) {
            if (frame != null && width > 0 && height > 0) {
                frame.getComponent(0).setPreferredSize(new Dimension(width, height));
                frame.pack();
            }
        }

        public AudioClip getAudioClip(URL url) { return Applet.newAudioClip(url); }
        public Image getImage(URL url) { return Toolkit.getDefaultToolkit().getImage(url); }
        public Applet getApplet(String name) {
            synchronized (applets) {
                for (Applet applet : applets) {
                    String other = applet.getParameter("name");
                    if (other != null && other.equalsIgnoreCase(name)) {
                        return applet;
                    }
                }
            }
            return null;
        }
        public Enumeration<Applet> getApplets() {
            synchronized (applets) {
                return Collections.enumeration(new ArrayList<Applet>(applets));
            }
        }
        public void showDocument(URL url) { System.out.println("showDocument: " + url); }
        public void showDocument(URL url, String target) {
            System.out.println("showDocument: " + url + " (" + target + ")");
        }
        public void showStatus(String status) {
            if (frame != null) {
                frame.setTitle(title(tag) + (status == null || status.isEmpty() ? "" : " - " + status));
            }
        }
        public void setStream(String key, InputStream stream) {
            synchronized (streams) {
                if (stream == null) {
                    streams.remove(key);
                } else {
                    streams.put(key, stream);
                }
            }
        }
        public InputStream getStream(String key) {
            synchronized (streams) {
                return streams.get(key);
            }
        }
        public Iterator<String> getStreamKeys() {
            synchronized (streams) {
                return new ArrayList<String>(streams.keySet()).iterator();
            }
        }
    }

    static String className(String code) {
        String name = code.trim();
        if (name.endsWith(".class")) {
            name = name.substring(0, name.length() - ".class".length());
        }
        return name.replace('/', '.');
    }

    static String title(Tag tag) {
        return "Applet: " + className(tag.code);
    }

    static URL folderUrl(URL base, String relative) throws Exception {
        String path = relative == null || relative.trim().isEmpty() ? "." : relative.trim();
        if (!path.endsWith("/")) {
            path += "/";
        }
        return new URL(base, path);
    }

    static boolean offscreen() {
        return Boolean.getBoolean("tarvo.applethost.offscreen");
    }

    // The applet classes refuse to be made in a headless runtime; the offscreen run makes them
    // with the headless flag lowered for the moment of construction.
    static Applet construct(Class<?> type) throws Exception {
        if (!offscreen() || !GraphicsEnvironment.isHeadless()) {
            return (Applet) type.getDeclaredConstructor().newInstance();
        }
        Field headless = GraphicsEnvironment.class.getDeclaredField("headless");
        headless.setAccessible(true);
        Object saved = headless.get(null);
        headless.set(null, Boolean.FALSE);
        try {
            return (Applet) type.getDeclaredConstructor().newInstance();
        } finally {
            headless.set(null, saved);
        }
    }

    static Applet load(Tag tag, URL documentBase, List<Applet> applets,
                       Map<String, InputStream> streams, Map<URL, ClassLoader> loaders)
        throws Exception {
        URL codeBase = folderUrl(documentBase, tag.codebase);
        ClassLoader loader = loaders.get(codeBase);
        if (loader == null) {
            List<URL> urls = new ArrayList<URL>();
            urls.add(codeBase);
            if (tag.archive != null) {
                for (String archive : tag.archive.split(",")) {
                    if (!archive.trim().isEmpty()) {
                        urls.add(new URL(codeBase, archive.trim()));
                    }
                }
            }
            loader = new URLClassLoader(urls.toArray(new URL[0]), AppletHost.class.getClassLoader());
            loaders.put(codeBase, loader);
        }
        Class<?> type = Class.forName(className(tag.code), true, loader);
        if (!Applet.class.isAssignableFrom(type)) {
            throw new IllegalArgumentException(tag.code + " is no applet (it does not extend Applet)");
        }
        Applet applet = construct(type);
        Stub stub = new Stub(tag, documentBase, codeBase, applets, streams);
        applet.setStub(stub);
        applet.setSize(tag.width, tag.height);
        synchronized (applets) {
            applets.add(applet);
        }
        return applet;
    }

    // Initialises, starts, paints once on an image, stops and destroys the applet, telling each
    // step; the number of pixels the painting changed shows whether it drew anything.
    static void runOffscreen(Tag tag, Applet applet) {
        String name = className(tag.code);
        BufferedImage image = new BufferedImage(tag.width, tag.height, BufferedImage.TYPE_INT_RGB);
        Graphics2D graphics = image.createGraphics();
        graphics.setColor(Color.WHITE);
        graphics.fillRect(0, 0, tag.width, tag.height);
        graphics.setColor(Color.BLACK);
        Stub stub = (Stub) applet.getAppletContext();
        applet.init();
        System.out.println(name + ": init");
        stub.active = true;
        applet.start();
        System.out.println(name + ": start");
        applet.paint(graphics);
        graphics.dispose();
        int changed = 0;
        for (int y = 0; y < tag.height; ++y) {
            for (int x = 0; x < tag.width; ++x) {
                if ((image.getRGB(x, y) & 0xffffff) != 0xffffff) {
                    ++changed;
                }
            }
        }
        System.out.println(name + ": paint (" + changed + " pixels drawn)");
        stub.active = false;
        applet.stop();
        System.out.println(name + ": stop");
        applet.destroy();
        System.out.println(name + ": destroy");
    }

    static int openWindows;

    static synchronized void appletWindowClosed() {
        if (--openWindows <= 0) {
            System.exit(0);
        }
    }

    static void show(final Tag tag, final Applet applet) {
        final Stub stub = (Stub) applet.getAppletContext();
        final Frame frame = new Frame(title(tag));
        stub.frame = frame;
        applet.setPreferredSize(new Dimension(tag.width, tag.height));
        frame.add(applet);
        frame.pack();
        frame.addWindowListener(new WindowAdapter() {
            @Override
            public void windowClosing(WindowEvent event) {
                frame.setVisible(false);
                stub.active = false;
                try {
                    applet.stop();
                    applet.destroy();
                } catch (Throwable error) {
                    error.printStackTrace();
                }
                frame.dispose();
                appletWindowClosed();
            }
        });
        applet.init();
        applet.validate();
        frame.setVisible(true);
        synchronized (AppletHost.class) {
            ++openWindows;
        }
        stub.active = true;
        applet.start();
    }

    public static void main(String[] args) throws Exception {
        if (args.length != 1) {
            System.err.println("Usage: java AppletHost PAGE.html");
            System.exit(2);
        }
        File pageFile = new File(args[0]).getAbsoluteFile();
        String page = new String(Files.readAllBytes(pageFile.toPath()), StandardCharsets.ISO_8859_1);
        List<Tag> tags = readTags(page);
        List<Tag> usable = new ArrayList<Tag>();
        for (Tag tag : tags) {
            if (tag.code == null || tag.code.trim().isEmpty()) {
                System.err.println(pageFile.getName() + ": an APPLET tag has no CODE; it is left out");
            } else {
                usable.add(tag);
            }
        }
        if (usable.isEmpty()) {
            System.err.println(pageFile.getName() + ": no APPLET tag with a CODE attribute");
            System.exit(1);
        }
        URL documentBase = pageFile.toURI().toURL();
        final List<Applet> applets = new ArrayList<Applet>();
        Map<String, InputStream> streams = new HashMap<String, InputStream>();
        Map<URL, ClassLoader> loaders = new HashMap<URL, ClassLoader>();
        int failed = 0;
        for (final Tag tag : usable) {
            try {
                final Applet applet = load(tag, documentBase, applets, streams, loaders);
                if (offscreen()) {
                    runOffscreen(tag, applet);
                } else {
                    EventQueue.invokeAndWait(new Runnable() {
                        public void run() {
                            show(tag, applet);
                        }
                    });
                }
            } catch (Throwable error) {
                ++failed;
                System.err.println(tag.code + ": could not be started");
                Throwable cause = error;
                while (cause.getCause() != null
                       && (cause instanceof java.lang.reflect.InvocationTargetException
                           || cause instanceof java.lang.reflect.UndeclaredThrowableException)) {
                    cause = cause.getCause();
                }
                cause.printStackTrace();
            }
        }
        if (offscreen() || failed == usable.size()) {
            System.exit(failed == 0 ? 0 : 1);
        }
    }
}
