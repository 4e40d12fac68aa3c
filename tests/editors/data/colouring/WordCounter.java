package tools.text;

import java.io.BufferedReader;
import java.io.FileReader;
import java.io.IOException;
import java.util.Map;
import java.util.TreeMap;

// Counts the words of the files named on the command line and prints
// them in alphabetical order, one "word<TAB>count" pair per line.
public final class WordCounter {
    private static final String SEPARATORS = "[\\s.,;:!?\"'()]+";
    private final Map<String, Integer> counts = new TreeMap<>();

    public void add(String line) {
        for (String word : line.toLowerCase().split(SEPARATORS)) {
            if (!word.isEmpty()) {
                counts.merge(word, 1, Integer::sum);
            }
        }
    }

    public int distinctWords() {
        return counts.size();
    }

    public static void main(String[] args) throws IOException {
        WordCounter counter = new WordCounter();
        for (String name : args) {
            try (BufferedReader reader = new BufferedReader(new FileReader(name))) {
                String line;
                while ((line = reader.readLine()) != null) {
                    counter.add(line);
                }
            }
        }
        char tab = '\t';
        for (Map.Entry<String, Integer> entry : counter.counts.entrySet()) {
            System.out.println(entry.getKey() + tab + entry.getValue());
        }
        System.err.println(counter.distinctWords() + " distinct words in "
                + args.length + " file(s)");
    }
}
