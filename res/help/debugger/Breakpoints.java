package tarvo.service;

import com.sun.jdi.AbsentInformationException;
import com.sun.jdi.Location;
import com.sun.jdi.ReferenceType;
import com.sun.jdi.VirtualMachine;
import com.sun.jdi.request.BreakpointRequest;
import com.sun.jdi.request.ClassPrepareRequest;
import com.sun.jdi.request.EventRequest;
import com.sun.jdi.request.EventRequestManager;
import java.util.ArrayList;
import java.util.HashMap;
import java.util.HashSet;
import java.util.List;
import java.util.Map;
import java.util.Set;
import java.util.TreeSet;

/**
 * The breakpoints the user wants, by source path (the package's folders and the file name, as
 * "shapes/Circle.java") and 1-based line, and the requests that carry them out in the program.
 * A source file may hold several classes (nested, local, anonymous, lambdas' hosts, other
 * top-level ones): every class the program prepares from that file gets the breakpoints of its
 * lines, so a line is caught whichever of them its code is compiled into. A line without code
 * catches nothing.
 */
final class Breakpoints {
    private final Map<String, Set<Integer>> wanted = new HashMap<>();
    private final Map<String, List<BreakpointRequest>> requests = new HashMap<>();
    /** The classes each breakpoint was installed in: a class is seen once at most. */
    private final Set<String> installed = new HashSet<>();
    private final Set<String> watchedSources = new HashSet<>();
    private VirtualMachine vm;

    static String normalPath(String path) {
        return path.replace('\\', '/');
    }

    private static String key(String path, int line) {
        return path + ":" + line;
    }

    synchronized void want(String path, int line, boolean on) {
        String normal = normalPath(path);
        if (on) {
            if (!wanted.computeIfAbsent(normal, any -> new TreeSet<>()).add(line) || vm == null) {
                return;
            }
            watch(normal);
            for (ReferenceType type : vm.allClasses()) {
                if (pathsOf(type).contains(normal)) {
                    install(type, normal, line);
                }
            }
            return;
        }
        Set<Integer> lines = wanted.get(normal);
        if (lines == null || !lines.remove(line)) {
            return;
        }
        List<BreakpointRequest> made = requests.remove(key(normal, line));
        if (made != null && vm != null) {
            vm.eventRequestManager().deleteEventRequests(made);
        }
        String suffix = "#" + key(normal, line);
        installed.removeIf(entry -> entry.endsWith(suffix));
    }

    /** The program has connected: breakpoints go into the classes it holds and will prepare. */
    synchronized void attach(VirtualMachine connected) {
        vm = connected;
        for (String path : wanted.keySet()) {
            watch(path);
        }
        for (ReferenceType type : vm.allClasses()) {
            prepared(type);
        }
    }

    /** A class has been prepared: the breakpoints of its source's lines go into it. */
    synchronized void prepared(ReferenceType type) {
        for (String path : pathsOf(type)) {
            Set<Integer> lines = wanted.get(path);
            if (lines != null) {
                for (int line : lines) {
                    install(type, path, line);
                }
            }
        }
    }

    private void watch(String path) {
        String sourceName = path.substring(path.lastIndexOf('/') + 1);
        if (!watchedSources.add(sourceName)) {
            return;
        }
        ClassPrepareRequest request = vm.eventRequestManager().createClassPrepareRequest();
        request.addSourceNameFilter(sourceName);
        // The preparing thread waits until the breakpoints are in.
        request.setSuspendPolicy(EventRequest.SUSPEND_EVENT_THREAD);
        request.enable();
    }

    private void install(ReferenceType type, String path, int line) {
        String key = key(path, line);
        if (!installed.add(type.name() + "@" + type.classLoader() + "#" + key)) {
            return;
        }
        List<Location> locations;
        try {
            locations = type.locationsOfLine(line);
        } catch (AbsentInformationException noLines) {
            return;
        }
        // A line may be compiled into several places (a for loop's start and its update):
        // each of them stops the program.
        EventRequestManager manager = vm.eventRequestManager();
        for (Location location : locations) {
            BreakpointRequest request = manager.createBreakpointRequest(location);
            request.setSuspendPolicy(EventRequest.SUSPEND_ALL);
            request.enable();
            requests.computeIfAbsent(key, any -> new ArrayList<>()).add(request);
        }
    }

    private static List<String> pathsOf(ReferenceType type) {
        List<String> paths = new ArrayList<>();
        try {
            for (String path : type.sourcePaths(null)) {
                paths.add(normalPath(path));
            }
        } catch (AbsentInformationException noSource) {
            // A class compiled without its source file's name cannot hold a breakpoint.
        }
        return paths;
    }
}
