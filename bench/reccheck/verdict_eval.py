#!/usr/bin/env python3
"""How often the speech engine's verdict is right, on recordings the tests never see.

Builds a corpus of ten-second recordings with three speech synthesizers (espeak-ng, flite,
festival) and several voices each, under conditions made with sox: the sentence read clean,
loud, late, slow, fast, into a quiet microphone, through a phone-band microphone, in a
reverberant room, over pink noise, mains hum, low rumble, a fan and classroom babble; and other
material: counting at three levels, sentences built on the sample's frame with other content
words, sentences sharing words with the sample, other sentences, half the sentence, babble,
tones, hum, noise, silence. Judges each with build/bench/reccheck/verdict_table and prints the
confusion table (verdict codes per condition), the pass rate of the sentence recordings (a
quiet microphone may say "too quiet"), the false passes and the verdict times: once for the
voices the verdict's thresholds were chosen on, once for voices held out of that choice.
Prints figures; asserts nothing.

The synthesized voices are kept in --work between runs; the recordings are made anew.
"""
import argparse
import collections
import hashlib
import math
import os
import re
import statistics
import struct
import subprocess
import sys
import wave

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
RATE = 16000
SECONDS = 10

SENTENCE = "Living without an aim is like sailing without a compass."
COUNTING = ["one two three four five six seven eight nine ten",
            "One, two, three, four, five, six, seven, eight, nine, ten."]
# The sample's frame with other content words: only its key words tell them apart.
FRAME_SENTENCES = [
    "Living without a plan is like driving without a map.",
    "Living without friends is like sailing without a boat.",
    "Living without hope is like walking without a light.",
    "Living without a goal is like sailing without a map.",
    "Living without love is like flying without wings.",
    "Living without an aim is like driving without a car.",
]
# Sentences that share words with the sample, some of them all of its key words.
SHARED_WORDS = [
    "Sailing without a compass is not easy.",
    "An aim is like a compass for your life.",
    "I like living by the sea without a car.",
    "Without a compass, sailing is like living without an aim.",
]
OTHER_SENTENCES = [
    "The weather is nice today and I like to walk in the park.",
    "Please open your books and turn to page twenty.",
    "Learning a language takes patience and practice every day.",
    "My brother usually takes the early train to the city.",
]
HALVES = ["Living without an aim is like.", "Sailing without a compass."]
# What the babble under a reader says.
BABBLE_TEXTS = OTHER_SENTENCES + ["Could you tell me where the library is, please?"]

# (synthesizer, voice); each reads every text once, and the conditions are made from that. The
# verdict's thresholds are chosen on these voices only.
TUNING_VOICES = [
    ("espeak-ng", "en-us"),
    ("espeak-ng", "en+f3"),
    ("espeak-ng", "en-gb"),
    ("espeak-ng", "en-us+m3"),
    ("flite", "kal16"),
    ("flite", "awb"),
    ("flite", "rms"),
    ("flite", "slt"),
    ("festival", "voice_kal_diphone"),
    ("festival", "voice_ked_diphone"),
    ("festival", "voice_cmu_us_slt_arctic_hts"),
    ("espeak-ng", "en-us+klatt"),
    ("espeak-ng", "en+f2"),
    ("espeak-ng", "en-gb-scotland"),
]
# Voices no threshold was chosen on: their figures show how the verdict does on voices it has
# not seen.
HELD_OUT_VOICES = [
    ("espeak-ng", "en-029+f4"),
    ("espeak-ng", "en-gb-x-rp+m7"),
    ("espeak-ng", "en-us-nyc+klatt3"),
    ("espeak-ng", "en-gb-x-gbcwmd+m2"),
    ("flite", "kal"),
]
VOICES = TUNING_VOICES + HELD_OUT_VOICES

# The reader's peak in a recording; noise and hum lie this far under it.
SPEECH_PEAK_DB = -6.0
# A loud reader near the microphone: near full scale, not clipping.
LOUD_PEAK_DB = -1.0
SOFT_PEAK_DB = -20.0
HUM_UNDER_PEAK_DB = 17.0
RUMBLE_UNDER_PEAK_DB = 16.0
BABBLE_UNDER_PEAK_DB = 14.0
QUIET_PEAK_DB = -36.0
VOICE_START_S = 1.0

CODE_NAMES = {0: "pass", 1: "unreadable", 2: "no signal", 3: "overloaded", 4: "no speech",
              5: "too quiet", 6: "not the sentence", 7: "no model"}


def run(*command):
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)


def sox(*arguments):
    # -R: repeatable noise and dither.
    run("sox", "-R", "-V1", *arguments)


FORMAT = ["-r", str(RATE), "-c", "1", "-b", "16"]


class Corpus:
    def __init__(self, work):
        self.voices_dir = os.path.join(work, "voices")
        self.recordings_dir = os.path.join(work, "recordings")
        os.makedirs(self.voices_dir, exist_ok=True)
        os.makedirs(self.recordings_dir, exist_ok=True)
        self.items = []  # (group, condition, is_sentence, path)
        self.group = "tuning"

    # --- material

    def spoken(self, voice, text):
        """The text read by the voice at 16 kHz mono, peak at SPEECH_PEAK_DB, cut to the voice."""
        synthesizer, name = voice
        key = hashlib.sha1(f"{synthesizer}|{name}|{text}".encode()).hexdigest()[:16]
        path = os.path.join(self.voices_dir, f"{synthesizer}-{name}-{key}.wav")
        if os.path.exists(path):
            return path
        raw = path + ".raw.wav"
        if synthesizer == "espeak-ng":
            run("espeak-ng", "-v", name, "-w", raw, text)
        elif synthesizer == "flite":
            run("flite", "-voice", name, "-t", text, "-o", raw)
        else:
            text_file = path + ".txt"
            with open(text_file, "w") as f:
                f.write(text + "\n")
            run("text2wave", "-eval", f"({name})", "-o", raw, text_file)
            os.remove(text_file)
        sox(raw, *FORMAT, path, "silence", "1", "0.02", "0.1%", "reverse", "silence", "1",
            "0.02", "0.1%", "reverse", "gain", "-n", str(SPEECH_PEAK_DB))
        os.remove(raw)
        return path

    def recording(self, name):
        return os.path.join(self.recordings_dir, name + ".wav")

    def placed(self, name, speech, start=VOICE_START_S, effects=()):
        """Ten seconds with the speech starting at start, effects applied to the speech."""
        path = self.recording(name)
        sox(speech, *FORMAT, path, *effects, "pad", f"{start:.3f}", str(SECONDS), "trim", "0",
            str(SECONDS))
        return path

    def mixed(self, name, *parts):
        path = self.recording(name)
        arguments = []
        for part in parts:
            arguments += ["-v", "1", part]
        sox("-m", *arguments, *FORMAT, path)
        return path

    def noise(self, name, *effects):
        path = self.recording("noise-" + name)
        if not os.path.exists(path):
            sox("-n", *FORMAT, path, "synth", str(SECONDS), *effects)
        return path

    def hum(self, mains_hz, peak_db):
        """Mains hum: the mains frequency and its harmonics, as a cheap microphone picks it up."""
        path = self.recording(f"noise-hum{mains_hz}-{peak_db:.0f}")
        if os.path.exists(path):
            return path
        weights = [1.0, 0.55, 0.4, 0.25, 0.15, 0.1, 0.06]
        count = RATE * SECONDS
        values = [sum(w * math.sin(2 * math.pi * mains_hz * (k + 1) * i / RATE + k)
                      for k, w in enumerate(weights)) for i in range(count)]
        scale = 10 ** (peak_db / 20) * 32767 / max(abs(v) for v in values)
        with wave.open(path, "wb") as out:
            out.setnchannels(1)
            out.setsampwidth(2)
            out.setframerate(RATE)
            out.writeframes(struct.pack(f"<{count}h", *(round(v * scale) for v in values)))
        return path

    def babble(self, voices, peak_db, name):
        """Several people talking at once, none of them reading the sentence."""
        path = self.recording("noise-babble-" + name)
        if os.path.exists(path):
            return path
        parts = []
        for index, voice in enumerate(voices):
            text = BABBLE_TEXTS[index % len(BABBLE_TEXTS)]
            again = BABBLE_TEXTS[(index + 2) % len(BABBLE_TEXTS)]
            part = self.recording(f"noise-babble-{name}-{index}")
            sox(self.spoken(voice, text), self.spoken(voice, again), *FORMAT, part, "pad",
                f"{0.37 * index:.2f}", str(SECONDS), "trim", "0", str(SECONDS))
            parts.append(part)
        sox("-m", *sum((["-v", "1", p] for p in parts), []), *FORMAT, path, "gain", "-n",
            str(peak_db))
        for part in parts:
            os.remove(part)
        return path

    def add(self, condition, is_sentence, path):
        self.items.append((self.group, condition, is_sentence, path))

    # --- the corpus

    def build(self):
        under = SPEECH_PEAK_DB
        noises = {
            "pink noise": self.noise("pink", "pinknoise", "vol", "0.03"),
            "mains hum 50 Hz": self.hum(50, under - HUM_UNDER_PEAK_DB),
            "mains hum 60 Hz": self.hum(60, under - HUM_UNDER_PEAK_DB),
            "brown-noise rumble": self.noise("brown", "brownnoise", "gain", "-n",
                                             str(under - RUMBLE_UNDER_PEAK_DB)),
            "fan": self.noise("fan", "pinknoise", "lowpass", "-2", "300", "gain", "-n",
                              str(under - RUMBLE_UNDER_PEAK_DB)),
        }
        for index, voice in enumerate(VOICES):
            self.group = "tuning" if voice in TUNING_VOICES else "held out"
            tag = f"{voice[0]}-{voice[1]}"
            sentence = self.spoken(voice, SENTENCE)
            clean = self.placed(f"s-clean-{tag}", sentence)
            self.add("clean", True, clean)
            self.add("loud", True,
                     self.placed(f"s-loud-{tag}", sentence,
                                 effects=("gain", "-n", str(LOUD_PEAK_DB))))
            length = float(subprocess.run(["soxi", "-D", sentence], capture_output=True,
                                          text=True, check=True).stdout)
            self.add("late start", True,
                     self.placed(f"s-late-{tag}", sentence, start=SECONDS - 0.4 - length))
            self.add("slow", True,
                     self.placed(f"s-slow-{tag}", sentence, effects=("tempo", "-s", "0.8")))
            self.add("fast", True,
                     self.placed(f"s-fast-{tag}", sentence, effects=("tempo", "-s", "1.25")))
            self.add("quiet microphone", True,
                     self.placed(f"s-quiet-{tag}", sentence,
                                 effects=("gain", "-n", str(QUIET_PEAK_DB))))
            self.add("phone band", True,
                     self.placed(f"s-phone-{tag}", sentence,
                                 effects=("sinc", "300-3400", "gain", "-n", "-6")))
            self.add("reverb", True,
                     self.placed(f"s-reverb-{tag}", sentence,
                                 effects=("reverb", "60", "50", "100", "gain", "-n", "-6")))
            for condition, noise in noises.items():
                self.add(condition, True,
                         self.mixed(f"s-{condition.replace(' ', '')}-{tag}", clean, noise))
            others = [v for v in VOICES if v != voice]
            babble = self.babble(others[index % 3::3][:4], under - BABBLE_UNDER_PEAK_DB, tag)
            self.add("babble under the reader", True,
                     self.mixed(f"s-babble-{tag}", clean, babble))

            # Other material read by the same voice.
            counting = None
            for number, text in enumerate(COUNTING):
                spoken = self.spoken(voice, text)
                for level, peak in (("soft", SOFT_PEAK_DB), ("", SPEECH_PEAK_DB),
                                    ("loud", LOUD_PEAK_DB)):
                    path = self.placed(f"n-counting{number}{level}-{tag}", spoken,
                                       effects=("gain", "-n", str(peak)))
                    self.add(f"counting {level}".strip(), False, path)
                    if number == 0 and not level:
                        counting = path
            for offset in range(3):
                text = FRAME_SENTENCES[(index * 3 + offset) % len(FRAME_SENTENCES)]
                spoken = self.spoken(voice, text)
                self.add("the frame, other words", False,
                         self.placed(f"n-frame{offset}-{tag}", spoken))
                self.add("the frame, other words, loud", False,
                         self.placed(f"n-frameloud{offset}-{tag}", spoken,
                                     effects=("gain", "-n", str(LOUD_PEAK_DB))))
            for offset in range(2):
                text = SHARED_WORDS[(index * 2 + offset) % len(SHARED_WORDS)]
                self.add("words shared with it", False,
                         self.placed(f"n-shared{offset}-{tag}", self.spoken(voice, text)))
            self.add("other sentence", False,
                     self.placed(f"n-other-{tag}",
                                 self.spoken(voice, OTHER_SENTENCES[index % len(OTHER_SENTENCES)])))
            self.add("half the sentence", False,
                     self.placed(f"n-half-{tag}", self.spoken(voice, HALVES[index % 2])))
            if index % 4 == 0:
                self.add("counting over hum", False,
                         self.mixed(f"n-countinghum-{tag}", counting,
                                    noises["mains hum 50 Hz"]))

        # Material without a reader belongs to no voice: it counts with the tuning voices.
        self.group = "tuning"
        babbles = [self.babble(TUNING_VOICES[start::3][:5], SPEECH_PEAK_DB, f"alone{start}")
                   for start in range(3)]
        for index, path in enumerate(babbles):
            self.add("babble alone", False, path)
        self.add("tones", False, self.noise("tone440", "sine", "440", "vol", "0.3"))
        self.add("tones", False, self.noise("beeps", "square", "1000", "vol", "0.2", "tremolo",
                                            "1", "100"))
        self.add("tones", False, self.noise("sweep", "sine", "200-3000", "vol", "0.3"))
        for condition in ("mains hum 50 Hz", "mains hum 60 Hz", "brown-noise rumble", "fan",
                          "pink noise"):
            self.add(condition + " alone", False, noises[condition])
        self.add("loud white noise", False, self.noise("white", "whitenoise", "vol", "0.5"))
        # sox dithers what it synthesizes into 16 bits, unless told not to (-D).
        self.add("dither", False, self.noise("dither", "sine", "0", "vol", "0"))
        silence = self.recording("noise-silence")
        if not os.path.exists(silence):
            sox("-D", "-n", *FORMAT, silence, "synth", str(SECONDS), "sine", "0", "vol", "0")
        self.add("digital silence", False, silence)

def judge(table_program, paths, jobs):
    """The verdicts, judged by jobs processes side by side, each loading the model once."""
    shares = [paths[start::jobs] for start in range(jobs)]
    processes = [subprocess.Popen([table_program, *share], stdout=subprocess.PIPE,
                                  stderr=subprocess.PIPE, text=True)
                 for share in shares if share]
    verdicts = {}
    for process in processes:
        out, err = process.communicate()
        if process.returncode != 0 and not out:
            sys.exit(f"{table_program} failed: {err}")
        for line in out.splitlines():
            code, seconds, path, figures, *words = line.split("\t", 4)
            verdicts[path] = (int(code), float(seconds), figures, "".join(words))
    return verdicts


def right(condition, is_sentence, code):
    if not is_sentence:
        return code != 0
    return code == 0 or (condition == "quiet microphone" and code == 5)


def report_group(title, items, verdicts):
    codes = sorted(CODE_NAMES)
    rows = collections.OrderedDict()
    for condition, is_sentence, path in items:
        rows.setdefault((condition, is_sentence), []).append(verdicts[path][0])
    header = f"{'condition':<32}{'expected':<10}" + "".join(f"{c:>4}" for c in codes) + "  right"
    print(f"== {title}")
    print(header)
    print("-" * len(header))
    for (condition, is_sentence), found in rows.items():
        expected = "0" if is_sentence else "not 0"
        if is_sentence and condition == "quiet microphone":
            expected = "0 or 5"
        counts = collections.Counter(found)
        good = sum(right(condition, is_sentence, code) for code in found)
        print(f"{condition:<32}{expected:<10}" + "".join(f"{counts[c] or '.':>4}" for c in codes)
              + f"  {good}/{len(found)}")
    sentence = [(c, verdicts[p][0]) for c, s, p in items if s]
    other = [verdicts[p][0] for c, s, p in items if not s]
    passes = sum(right(c, True, code) for c, code in sentence)
    false_passes = sum(code == 0 for code in other)
    share = f"{100.0 * passes / len(sentence):.1f} %" if sentence else "none judged"
    print(f"sentence recordings passed: {passes}/{len(sentence)} "
          f"({share}; target at least 95 %)")
    print(f"other material passed (false passes): {false_passes}/{len(other)} (target 0)")


def report(corpus, verdicts, details):
    print("verdict codes: " + ", ".join(f"{c} {n}" for c, n in CODE_NAMES.items()))
    voices = lambda group: ", ".join(f"{s} {v}" for s, v in group)
    groups = (("tuning", f"voices the thresholds were chosen on: {voices(TUNING_VOICES)}"),
              ("held out", f"voices held out of that choice: {voices(HELD_OUT_VOICES)}"))
    for group, title in groups:
        report_group(title, [(c, s, p) for g, c, s, p in corpus.items if g == group], verdicts)
    times = [verdicts[p][1] for _, _, _, p in corpus.items]
    print(f"verdict time per ten-second recording: mean {1000 * statistics.mean(times):.0f} ms, "
          f"max {1000 * max(times):.0f} ms")
    if details:
        for group, condition, is_sentence, path in corpus.items:
            code, _, figures, words = verdicts[path]
            mark = "" if right(condition, is_sentence, code) else "WRONG "
            print(f"{mark}{group}: {condition}: {os.path.basename(path)}: {figures}"
                  + (f"; words: {words}" if words else ""))


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build-dir", default=os.environ.get("PARVELO_BUILD_DIR",
                                                              os.path.join(ROOT, "build")))
    parser.add_argument("--work", help="where the corpus is made (default: BUILD/verdict-corpus)")
    parser.add_argument("--details", action="store_true", help="print every recording's figures")
    parser.add_argument("--only", metavar="REGEX",
                        help="judge only the recordings whose \"group: condition: file\" matches "
                             "(a quicker look at a few of them)")
    parser.add_argument("--jobs", type=int, default=2,
                        help="how many verdict processes run side by side (default 2)")
    args = parser.parse_args()
    work = args.work or os.path.join(args.build_dir, "verdict-corpus")
    corpus = Corpus(work)
    corpus.build()
    if args.only:
        pattern = re.compile(args.only)
        corpus.items = [item for item in corpus.items
                        if pattern.search(f"{item[0]}: {item[1]}: {os.path.basename(item[3])}")]
    table_program = os.path.join(args.build_dir, "bench/reccheck/verdict_table")
    verdicts = judge(table_program, [path for _, _, _, path in corpus.items], max(1, args.jobs))
    report(corpus, verdicts, args.details)


if __name__ == "__main__":
    main()
