#include "sentencealignment.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <pocketsphinx.h>
#include <sphinxbase/err.h>
#include <sphinxbase/genrand.h>

namespace {

constexpr char SearchName[] = "sentence";
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
    // would only take frames away.
    decoder->config =
        cmd_ln_init(nullptr, ps_args(), TRUE, "-hmm", acousticModelPath.constData(), "-dict",
                    dictionaryPath.constData(), "-dither", "yes", "-remove_silence", "no", nullptr);
    if (decoder->config)
        decoder->decoder = ps_init(decoder->config);
    if (!decoder->decoder) {
        if (error)
            *error = QStringLiteral("the speech model in %1 cannot be loaded").arg(modelDir);
        return nullptr;
    }
    if (ps_set_jsgf_string(decoder->decoder, SearchName, SentenceGrammar(sentence).constData()) !=
            0 ||
        ps_set_search(decoder->decoder, SearchName) != 0) {
        if (error)
            *error =
                QStringLiteral("the sentence \"%1\" has words the dictionary lacks").arg(sentence);
        return nullptr;
    }
    return std::unique_ptr<TSentenceAligner>(new TSentenceAligner(std::move(decoder)));
}

TSentenceAligner::TSentenceAligner(std::unique_ptr<Decoder> decoder)
    : FDecoder(std::move(decoder)) {}

TSentenceAligner::~TSentenceAligner() = default;

SentenceAlignment TSentenceAligner::Align(const qint16* samples, size_t count) {
    ps_decoder_t* const decoder = FDecoder->decoder;
    SentenceAlignment result;
    // The same recording must always get the same verdict, whatever was checked before: the
    // dither's generator is reseeded and the noise estimate of the last recording dropped.
    genrand_seed(DitherSeed);
    if (ps_start_stream(decoder) != 0 || ps_start_utt(decoder) != 0)
        return result;
    ps_process_raw(decoder, samples, count, FALSE, TRUE);
    ps_end_utt(decoder);
    int32 score = 0;
    // Without a path to the grammar's final state there is no hypothesis.
    const char* const hypothesis = ps_get_hyp(decoder, &score);
    const int frames = ps_get_n_frames(decoder);
    if (hypothesis && *hypothesis && frames > 0) {
        result.found = true;
        result.scorePerFrame = static_cast<double>(score) / frames;
    }
    return result;
}
