#include "analysis/RtfReader.h"

#include "app/Cp1252.h"

#include <QFont>
#include <QHash>
#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <array>
#include <vector>

namespace lineara {

namespace {

// Deeper groups than this share the state of the deepest one kept; real files nest a few
// levels, a hostile one must not make the stack grow without bound.
constexpr int kMaxDepth = 512;
// Control words are at most 32 letters; their numbers are clamped to this magnitude.
constexpr int kMaxWordLength = 32;
constexpr qint64 kNumberLimit = 1'000'000'000;
constexpr int kMaxFonts = 4096;
constexpr int kMaxFontNameLength = 256;
constexpr int kDefaultHalfPoints = 24;
// Font sizes are clamped to 1 to 400 points.
constexpr int kMinHalfPoints = 2;
constexpr int kMaxHalfPoints = 800;

enum class Destination { Text, FontTable, Skip };

// Formatting that groups save and restore.
struct GroupState {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int half_points = kDefaultHalfPoints;
    int font = -1;  // -1: the document's default font
    Qt::Alignment alignment = Qt::AlignLeft;
    int unicode_skip = 1;
    Destination destination = Destination::Text;

    bool SameCharacters(const GroupState& other) const {
        return bold == other.bold && italic == other.italic && underline == other.underline &&
               half_points == other.half_points && font == other.font;
    }
};

struct FontEntry {
    QString family;
    bool fixed_pitch = false;
};

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Destinations whose content is not text to show.
bool IsSkippedDestination(QByteArrayView word) {
    static const std::array<QByteArrayView, 30> kSkipped = {"colortbl",
                                                            "stylesheet",
                                                            "info",
                                                            "pict",
                                                            "object",
                                                            "header",
                                                            "headerl",
                                                            "headerr",
                                                            "headerf",
                                                            "footer",
                                                            "footerl",
                                                            "footerr",
                                                            "footerf",
                                                            "footnote",
                                                            "fldinst",
                                                            "listtable",
                                                            "listoverridetable",
                                                            "themedata",
                                                            "colorschememapping",
                                                            "datastore",
                                                            "latentstyles",
                                                            "xmlnstbl",
                                                            "rsidtbl",
                                                            "generator",
                                                            "filetbl",
                                                            "revtbl",
                                                            "userprops",
                                                            "nonshppict",
                                                            "pntext",
                                                            "annotation"};
    return std::find(kSkipped.begin(), kSkipped.end(), word) != kSkipped.end();
}

class Parser {
public:
    Parser(const QByteArray& rtf, QTextDocument& document)
        : data_(rtf.constData()), size_(rtf.size()), document_(document), cursor_(&document) {}

    RtfReader::Result Run() {
        RtfReader::Result result;
        result.looks_like_rtf = true;
        stack_.reserve(64);
        while (pos_ < size_ && !finished_) {
            const char c = data_[pos_++];
            switch (c) {
                case '{':
                    OpenGroup();
                    break;
                case '}':
                    CloseGroup();
                    break;
                case '\\':
                    Control();
                    break;
                case '\r':
                case '\n':
                    break;
                default:
                    if (state_.destination == Destination::Skip)
                        break;
                    if (skip_ > 0) {
                        --skip_;
                        break;
                    }
                    if (c == '\t') {
                        Emit(QChar(u'\t'));
                    } else if (static_cast<unsigned char>(c) >= 0x20) {
                        Emit(cp1252::CharOf(static_cast<unsigned char>(c)));
                    }
                    break;
            }
        }
        FlushHighSurrogate();
        EndParagraph(false);
        result.complete = finished_;
        result.paragraphs = document_.blockCount();
        return result;
    }

private:
    void OpenGroup() {
        skip_ = 0;
        if (static_cast<int>(stack_.size()) >= kMaxDepth) {
            ++overflow_;
            return;
        }
        stack_.push_back(state_);
    }

    void CloseGroup() {
        skip_ = 0;
        if (overflow_ > 0) {
            --overflow_;
            return;
        }
        if (stack_.empty()) {
            return;  // a stray closing brace
        }
        if (state_.destination == Destination::FontTable &&
            stack_.back().destination != Destination::FontTable) {
            StoreFontName();
        }
        if (stack_.size() == 1) {
            // The document's own group is closed: what follows is not part of it, and the last
            // paragraph keeps the settings in force at its end.
            finished_ = true;
            return;
        }
        state_ = stack_.back();
        stack_.pop_back();
    }

    struct Word {
        char letters[kMaxWordLength + 1] = {};
        int length = 0;
        bool has_number = false;
        qint64 number = 0;
        QByteArrayView View() const { return QByteArrayView(letters, length); }
    };

    void Control() {
        if (pos_ >= size_)
            return;
        const char c = data_[pos_];
        if (IsLetter(c)) {
            Word word;
            while (pos_ < size_ && IsLetter(data_[pos_])) {
                if (word.length < kMaxWordLength)
                    word.letters[word.length++] = data_[pos_];
                ++pos_;
            }
            bool negative = false;
            if (pos_ < size_ && data_[pos_] == '-' && pos_ + 1 < size_ &&
                IsDigit(data_[pos_ + 1])) {
                negative = true;
                ++pos_;
            }
            while (pos_ < size_ && IsDigit(data_[pos_])) {
                word.has_number = true;
                word.number = std::min(kNumberLimit, word.number * 10 + (data_[pos_] - '0'));
                ++pos_;
            }
            if (negative)
                word.number = -word.number;
            if (pos_ < size_ && data_[pos_] == ' ')
                ++pos_;  // the delimiting blank belongs to the word
            ControlWord(word);
            return;
        }
        ++pos_;
        if (c == '\'') {
            int value = -1;
            if (pos_ + 2 <= size_) {
                const int high = HexValue(data_[pos_]);
                const int low = HexValue(data_[pos_ + 1]);
                if (high >= 0 && low >= 0) {
                    value = high * 16 + low;
                    pos_ += 2;
                }
            }
            if (value >= 0)
                Text(cp1252::CharOf(static_cast<unsigned char>(value)));
            return;
        }
        switch (c) {
            case '*':
                state_.destination = Destination::Skip;
                return;
            case '~':
                Text(QChar(0x00A0));
                return;
            case '_':
                Text(QChar(0x2011));
                return;
            case '\\':
            case '{':
            case '}':
                Text(QChar(QLatin1Char(c)));
                return;
            case '\r':
            case '\n':
                if (state_.destination == Destination::Text)
                    Paragraph();
                return;
            default:
                // Optional hyphens, formula characters and other symbols show nothing.
                if (skip_ > 0)
                    --skip_;
                return;
        }
    }

    void ControlWord(const Word& word) {
        const QByteArrayView w = word.View();
        if (w == "bin") {
            // Binary data: its bytes are not text, whatever they look like.
            const qint64 count = std::max<qint64>(0, word.number);
            pos_ += static_cast<qsizetype>(std::min<qint64>(count, size_ - pos_));
            return;
        }
        if (state_.destination == Destination::Skip)
            return;
        if (skip_ > 0) {
            --skip_;  // a control word stands in for one fallback character
            return;
        }
        if (w == "fonttbl") {
            state_.destination = Destination::FontTable;
            font_name_.clear();
            return;
        }
        if (IsSkippedDestination(w)) {
            state_.destination = Destination::Skip;
            return;
        }
        const int value = static_cast<int>(word.number);
        if (state_.destination == Destination::FontTable) {
            if (w == "f" && word.has_number) {
                StoreFontName();
                font_entry_ = value;
            } else if (w == "fmodern") {
                font_fixed_pitch_ = true;
            } else if (w == "u" && word.has_number) {
                Unicode(word.number);
                skip_ = state_.unicode_skip;
            }
            return;
        }
        const bool on = !word.has_number || word.number != 0;
        if (w == "par" || w == "row" || w == "sect" || w == "page") {
            Paragraph();
        } else if (w == "line") {
            Emit(QChar(QChar::LineSeparator));
        } else if (w == "tab" || w == "cell") {
            Emit(QChar(u'\t'));
        } else if (w == "b") {
            state_.bold = on;
        } else if (w == "i") {
            state_.italic = on;
        } else if (w == "ul" || w == "ulw" || w == "uld" || w == "uldb") {
            state_.underline = on;
        } else if (w == "ulnone") {
            state_.underline = false;
        } else if (w == "fs") {
            state_.half_points = word.has_number ? std::clamp(value, kMinHalfPoints, kMaxHalfPoints)
                                                 : kDefaultHalfPoints;
        } else if (w == "f") {
            state_.font = word.has_number ? value : -1;
        } else if (w == "deff") {
            default_font_ = value;
        } else if (w == "plain") {
            const GroupState reset;
            state_.bold = reset.bold;
            state_.italic = reset.italic;
            state_.underline = reset.underline;
            state_.half_points = reset.half_points;
            state_.font = reset.font;
        } else if (w == "qc") {
            state_.alignment = Qt::AlignHCenter;
        } else if (w == "ql" || w == "pard") {
            state_.alignment = Qt::AlignLeft;
        } else if (w == "qr") {
            state_.alignment = Qt::AlignRight;
        } else if (w == "qj") {
            state_.alignment = Qt::AlignJustify;
        } else if (w == "uc") {
            state_.unicode_skip = std::clamp(value, 0, 16);
        } else if (w == "u" && word.has_number) {
            Unicode(word.number);
            skip_ = state_.unicode_skip;
        } else if (w == "emdash") {
            Emit(QChar(0x2014));
        } else if (w == "endash") {
            Emit(QChar(0x2013));
        } else if (w == "bullet") {
            Emit(QChar(0x2022));
        } else if (w == "lquote") {
            Emit(QChar(0x2018));
        } else if (w == "rquote") {
            Emit(QChar(0x2019));
        } else if (w == "ldblquote") {
            Emit(QChar(0x201C));
        } else if (w == "rdblquote") {
            Emit(QChar(0x201D));
        } else if (w == "emspace" || w == "enspace" || w == "qmspace") {
            Emit(QChar(u' '));
        }
        // Anything else is formatting this reader does not show.
    }

    // A character written as an escape: it counts as one fallback character while skipping.
    void Text(QChar ch) {
        if (state_.destination == Destination::Skip)
            return;
        if (skip_ > 0) {
            --skip_;
            return;
        }
        if (state_.destination == Destination::FontTable) {
            AppendFontName(ch);
            return;
        }
        Emit(ch);
    }

    // \uN: a signed 16-bit value; characters beyond the basic plane come as two halves.
    void Unicode(qint64 number) {
        if (number < 0)
            number += 65536;
        if (number < 0 || number > 0xFFFF) {
            Emit(QChar(QChar::ReplacementCharacter));
            return;
        }
        const char16_t unit = static_cast<char16_t>(number);
        if (QChar::isHighSurrogate(unit)) {
            FlushHighSurrogate();
            high_surrogate_ = unit;
            return;
        }
        if (QChar::isLowSurrogate(unit)) {
            if (high_surrogate_ != 0) {
                const char16_t pair[2] = {high_surrogate_, unit};
                high_surrogate_ = 0;
                EmitPair(pair);
            } else {
                Emit(QChar(QChar::ReplacementCharacter));
            }
            return;
        }
        if (state_.destination == Destination::FontTable) {
            AppendFontName(QChar(unit));
        } else {
            Emit(QChar(unit));
        }
    }

    void FlushHighSurrogate() {
        if (high_surrogate_ != 0) {
            high_surrogate_ = 0;
            EmitRaw(QChar(QChar::ReplacementCharacter));
        }
    }

    void AppendFontName(QChar ch) {
        if (ch == u';') {
            StoreFontName();
        } else if (font_name_.size() < kMaxFontNameLength) {
            font_name_ += ch;
        }
    }

    void StoreFontName() {
        const QString name = font_name_.trimmed();
        font_name_.clear();
        if (!name.isEmpty() && (fonts_.size() < kMaxFonts || fonts_.contains(font_entry_))) {
            fonts_.insert(font_entry_,
                          FontEntry{RtfReader::MapFontFamily(name), font_fixed_pitch_});
        }
        font_fixed_pitch_ = false;
    }

    void Emit(QChar ch) {
        if (state_.destination == Destination::Skip)
            return;
        if (state_.destination == Destination::FontTable) {
            AppendFontName(ch);
            return;
        }
        FlushHighSurrogate();
        EmitRaw(ch);
    }

    void EmitPair(const char16_t (&pair)[2]) {
        if (state_.destination != Destination::Text)
            return;
        EmitRaw(QChar(pair[0]));
        run_ += QChar(pair[1]);
    }

    void EmitRaw(QChar ch) {
        if (!run_.isEmpty() && !run_state_.SameCharacters(state_)) {
            FlushRun();
        }
        if (run_.isEmpty())
            run_state_ = state_;
        run_ += ch;
        paragraph_state_ = state_;
        paragraph_has_text_ = true;
    }

    QTextCharFormat FormatFor(const GroupState& state) const {
        QTextCharFormat format;
        format.setFontWeight(state.bold ? QFont::Bold : QFont::Normal);
        format.setFontItalic(state.italic);
        format.setFontUnderline(state.underline);
        format.setFontPointSize(state.half_points / 2.0);
        const int id = state.font >= 0 ? state.font : default_font_;
        const auto found = fonts_.constFind(id);
        if (found != fonts_.constEnd()) {
            format.setFontFamilies(QStringList{found->family});
            format.setFontFixedPitch(found->fixed_pitch);
            if (found->fixed_pitch)
                format.setFontStyleHint(QFont::TypeWriter);
        }
        return format;
    }

    void FlushRun() {
        if (run_.isEmpty())
            return;
        cursor_.insertText(run_, FormatFor(run_state_));
        run_.clear();
    }

    void Paragraph() {
        FlushHighSurrogate();
        EndParagraph(true);
    }

    // Ends the current paragraph with the alignment in force at its end; an empty paragraph
    // takes its height from the font in force.
    void EndParagraph(bool start_next) {
        FlushRun();
        if (state_.alignment & (Qt::AlignHCenter | Qt::AlignRight)) {
            // Word processors centre a line on its text, not on the blanks that end it; only
            // non-breaking spaces hold a centred line's width (the report pads its table rows
            // with them so that the columns line up).
            const QString text = cursor_.block().text();
            qsizetype trailing = 0;
            while (trailing < text.size() && text[text.size() - 1 - trailing] == u' ')
                ++trailing;
            if (trailing > 0) {
                cursor_.setPosition(cursor_.position() - static_cast<int>(trailing),
                                    QTextCursor::KeepAnchor);
                cursor_.removeSelectedText();
            }
        }
        QTextBlockFormat block = cursor_.blockFormat();
        block.setAlignment(state_.alignment);
        cursor_.setBlockFormat(block);
        cursor_.setBlockCharFormat(FormatFor(paragraph_has_text_ ? paragraph_state_ : state_));
        paragraph_has_text_ = false;
        if (start_next) {
            cursor_.insertBlock(block, FormatFor(state_));
        }
    }

    const char* data_;
    qsizetype size_;
    qsizetype pos_ = 0;
    QTextDocument& document_;
    QTextCursor cursor_;
    GroupState state_;
    std::vector<GroupState> stack_;
    int overflow_ = 0;
    bool finished_ = false;
    int skip_ = 0;
    char16_t high_surrogate_ = 0;
    QString run_;
    GroupState run_state_;
    GroupState paragraph_state_;
    bool paragraph_has_text_ = false;
    QHash<int, FontEntry> fonts_;
    int default_font_ = 0;
    int font_entry_ = 0;
    bool font_fixed_pitch_ = false;
    QString font_name_;
};

bool StartsLikeRtf(const QByteArray& data) {
    qsizetype start = 0;
    if (data.startsWith("\xEF\xBB\xBF"))
        start = 3;
    while (start < data.size() && (data[start] == ' ' || data[start] == '\t' ||
                                   data[start] == '\r' || data[start] == '\n')) {
        ++start;
    }
    return QByteArrayView(data).sliced(start).startsWith("{\\rtf");
}

}  // namespace

RtfReader::Result RtfReader::Read(const QByteArray& rtf, QTextDocument& document) {
    document.clear();
    if (!StartsLikeRtf(rtf)) {
        document.setPlainText(QString::fromUtf8(rtf));
        Result result;
        result.complete = true;
        result.paragraphs = document.blockCount();
        return result;
    }
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    Parser parser(rtf, document);
    Result result = parser.Run();
    document.setUndoRedoEnabled(undo);
    return result;
}

QString RtfReader::MapFontFamily(const QString& family) {
    static const QHash<QString, QString> kMetricTwins = {
        {QStringLiteral("courier new"), QStringLiteral("Liberation Mono")},
        {QStringLiteral("courier"), QStringLiteral("Liberation Mono")},
        {QStringLiteral("arial"), QStringLiteral("Liberation Sans")},
        {QStringLiteral("helvetica"), QStringLiteral("Liberation Sans")},
        {QStringLiteral("times new roman"), QStringLiteral("Liberation Serif")},
        {QStringLiteral("times"), QStringLiteral("Liberation Serif")},
    };
    return kMetricTwins.value(family.trimmed().toLower(), family.trimmed());
}

}  // namespace lineara
