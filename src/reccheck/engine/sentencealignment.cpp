#include "sentencealignment.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <cstring>
#include <optional>
#include <pocketsphinx.h>
#include <sphinxbase/ckd_alloc.h>
#include <sphinxbase/err.h>
#include <sphinxbase/genrand.h>

namespace {

constexpr char SentenceSearch[] = "sentence";
constexpr char PhoneLoopSearch[] = "phones";
constexpr double FrameSeconds = 0.01;
// The model's phones are hidden Markov models of three states without skips, each state
// holding at least one frame.
constexpr int StatesPerPhone = 3;
constexpr char WideBeam[] = "1e-120";
constexpr double UsualBeam = 1e-48;
// Dither keeps stretches of digital silence from giving the feature extraction log(0).
constexpr unsigned long DitherSeed = 7;

// A JSGF grammar with the sentence's words, lower case and without punctuation, as its only
// sentence.
QByteArray SentenceGrammar(const QString& sentence) {
    const QStringList words = sentence.toLower()
                                  .replace(QRegularExpression(QStringLiteral("[^a-z' ]")), " ")
                                  .split(QLatin1Char(' '), Qt::SkipEmptyParts);
    return "#JSGF V1.0;\ngrammar reading;\npublic <sentence> = " +
           words.join(QLatin1Char(' ')).toUtf8() + ";\n";
}

} // namespace

struct TSentenceAligner::Decoder {
    cmd_ln_t* config = nullptr;
    ps_decoder_t* decoder = nullptr;
    ~Decoder() {
        if (decoder)
            ps_free(decoder);
        if (config)
            cmd_ln_free_r(config);
    }
};

QString DefaultSpeechModelDir() {
    return QStringLiteral(PARVELO_POCKETSPHINX_MODEL_DIR "/en-us");
}

std::unique_ptr<TSentenceAligner>
TSentenceAligner::Create(const QString& modelDir, const QString& sentence, QString* error) {
    const QDir dir(modelDir);
    const QString acousticModel = dir.filePath(QStringLiteral("en-us"));
    const QString dictionary = dir.filePath(QStringLiteral("cmudict-en-us.dict"));
    if (!QFileInfo(acousticModel).isDir() || !QFileInfo(dictionary).isFile()) {
        if (error)
            *error = QStringLiteral("no speech model in %1").arg(modelDir);
        return nullptr;
    }

    // The recogniser's own log would only go to standard error.
    err_set_logfp(nullptr);
    auto decoder = std::make_unique<Decoder>();
    const QByteArray acousticModelPath = QFile::encodeName(acousticModel);
    const QByteArray dictionaryPath = QFile::encodeName(dictionary);
    // The recording comes already cut to the voice, so the recogniser's own silence removal
    // would only take frames away. The sentence's alignment searches wider than usual: a
    // one-sentence grammar is cheap, and a reading through a narrow-band microphone otherwise
    // loses its path before the grammar's end.
    decoder->config = cmd_ln_init(nullptr, ps_args(), TRUE, "-hmm", acousticModelPath.constData(),
                                  "-dict", dictionaryPath.constData(), "-dither", "yes",
                                  "-remove_silence", "no", "-beam", WideBeam, "-pbeam", WideBeam,
                                  "-wbeam", WideBeam, "-allphone_ci", "yes", nullptr);
    if (decoder->config)
        decoder->decoder = ps_init(decoder->config);
    if (!decoder->decoder) {
        if (error)
            *error = QStringLiteral("the speech model in %1 cannot be loaded").arg(modelDir);
        return nullptr;
    }
    if (ps_set_jsgf_string(decoder->decoder, SentenceSearch,
                           SentenceGrammar(sentence).constData()) != 0) {
        if (error)
            *error =
                QStringLiteral("the sentence \"%1\" has words the dictionary lacks").arg(sentence);
        return nullptr;
    }
    // Without a language model: any phone may follow any other. Context-independent phones and
    // the usual beams keep it quick.
    cmd_ln_set_float_r(decoder->config, "-beam", UsualBeam);
    cmd_ln_set_float_r(decoder->config, "-pbeam", UsualBeam);
    if (ps_set_allphone(decoder->decoder, PhoneLoopSearch, nullptr) != 0) {
        if (error)
            *error = QStringLiteral("the speech model in %1 has no phone loop").arg(modelDir);
        return nullptr;
    }
    return std::unique_ptr<TSentenceAligner>(new TSentenceAligner(std::move(decoder)));
}

TSentenceAligner::TSentenceAligner(std::unique_ptr<Decoder> decoder)
    : FDecoder(std::move(decoder)) {}

TSentenceAligner::~TSentenceAligner() = default;

namespace {

// A word or phone of a search's best hypothesis: its frames, both ends included, and its
// acoustic score.
struct Segment {
    QString name;
    // As the search named it, with the number of an alternative pronunciation.
    QByteArray entry;
    int first = 0;
    int last = 0;
    double acousticScore = 0.0;
    bool filler = false;
    int Frames() const { return last - first + 1; }
};

struct Hypothesis {
    double acousticScore = 0.0;
    int frames = 0;
    std::vector<Segment> segments;
};

bool IsFiller(const char* word) {
    return *word == '<' || *word == '[' || *word == '+' || std::strcmp(word, "(NULL)") == 0 ||
           std::strcmp(word, "SIL") == 0;
}

// The dictionary's name of a word, without the number of its alternative pronunciation.
QString DictionaryWord(const char* word) {
    QString name = QString::fromUtf8(word);
    const int alternative = name.indexOf(QLatin1Char('('));
    return alternative > 0 ? name.left(alternative) : name;
}

std::optional<Hypothesis> Decode(ps_decoder_t* decoder, const char* search, const qint16* samples,
                                 size_t count) {
    // The same recording must always get the same verdict, whatever was checked before: the
    // dither's generator is reseeded and the noise estimate of the last recording dropped.
    genrand_seed(DitherSeed);
    if (ps_set_search(decoder, search) != 0 || ps_start_stream(decoder) != 0 ||
        ps_start_utt(decoder) != 0)
        return std::nullopt;
    ps_process_raw(decoder, samples, count, FALSE, TRUE);
    ps_end_utt(decoder);
    int32 score = 0;
    // Without a path to the grammar's final state there is no hypothesis.
    const char* const text = ps_get_hyp(decoder, &score);
    Hypothesis hypothesis;
    hypothesis.frames = ps_get_n_frames(decoder);
    if (!text || !*text || hypothesis.frames <= 0)
        return std::nullopt;
    for (ps_seg_t* segment = ps_seg_iter(decoder); segment; segment = ps_seg_next(segment)) {
        int32 acoustic = 0, language = 0, backoff = 0;
        ps_seg_prob(segment, &acoustic, &language, &backoff);
        hypothesis.acousticScore += acoustic;
        Segment part;
        const char* const word = ps_seg_word(segment);
        part.name = DictionaryWord(word);
        part.entry = word;
        part.filler = IsFiller(word);
        ps_seg_frames(segment, &part.first, &part.last);
        part.acousticScore = acoustic;
        hypothesis.segments.push_back(part);
    }
    return hypothesis;
}

// A hypothesis's acoustic score over the frames first to last: each of its segments counts with
// the share of its frames that lies among them.
double ScoreOver(const std::vector<Segment>& segments, int first, int last) {
    double score = 0.0;
    for (const Segment& segment : segments) {
        const int overlap = std::min(last, segment.last) - std::max(first, segment.first) + 1;
        if (overlap > 0)
            score += segment.acousticScore * overlap / segment.Frames();
    }
    return score;
}

// The number of phones of the dictionary's entry; 0 when it has none.
int PhoneCount(ps_decoder_t* decoder, const QByteArray& entry) {
    char* const phones = ps_lookup_word(decoder, entry.constData());
    if (!phones)
        return 0;
    const QByteArray spelled = QByteArray(phones).simplified();
    ckd_free(phones);
    return spelled.isEmpty() ? 0 : static_cast<int>(spelled.count(' ')) + 1;
}

} // namespace

SentenceAlignment TSentenceAligner::Align(const qint16* samples, size_t count) {
    ps_decoder_t* const decoder = FDecoder->decoder;
    SentenceAlignment result;
    const std::optional<Hypothesis> sentence = Decode(decoder, SentenceSearch, samples, count);
    if (!sentence)
        return result;
    const std::optional<Hypothesis> phones = Decode(decoder, PhoneLoopSearch, samples, count);
    if (!phones)
        return result;
    result.found = true;
    result.scorePerFrame = sentence->acousticScore / sentence->frames;
    result.phoneLoopScorePerFrame = phones->acousticScore / phones->frames;
    for (const Segment& word : sentence->segments) {
        if (word.filler)
            continue;
        AlignedWord aligned;
        aligned.word = word.name;
        aligned.seconds = word.Frames() * FrameSeconds;
        aligned.shortestSeconds = PhoneCount(decoder, word.entry) * StatesPerPhone * FrameSeconds;
        aligned.scoreBelowPhoneLoop =
            (ScoreOver(phones->segments, word.first, word.last) - word.acousticScore) /
            word.Frames();
        result.longestWordSeconds = std::max(result.longestWordSeconds, aligned.seconds);
        result.words.push_back(aligned);
    }
    return result;
}
