#include "store/Criteria.h"

#include <QRegularExpression>

#include <stdexcept>

namespace lineara {

namespace {

bool IsNumberField(Field field) {
    return field == Field::DogID || field == Field::SireID || field == Field::DamID ||
           field == Field::SystemUseLongInt;
}

bool IsSearchableTextField(Field field) {
    return field == Field::RegName || field == Field::SystemUseText;
}

[[noreturn]] void Reject(const QString& criteria) {
    throw std::invalid_argument("unsupported search criteria: " + criteria.toStdString());
}

}  // namespace

Criterion Criterion::Parse(const QString& criteria) {
    static const QRegularExpression form(QStringLiteral("^\\s*([A-Za-z]+)\\s*([=>])\\s*(.*)$"),
                                         QRegularExpression::DotMatchesEverythingOption);
    const auto match = form.match(criteria);
    if (!match.hasMatch()) {
        Reject(criteria);
    }
    const auto field = FieldByName(match.capturedView(1));
    if (!field) {
        Reject(criteria);
    }
    const Op op = match.capturedView(2) == u"=" ? Op::Equal : Op::Greater;
    const QString value = match.captured(3);

    if (IsNumberField(*field)) {
        bool ok = false;
        const qint64 number = value.trimmed().toLongLong(&ok);
        if (!ok) {
            Reject(criteria);
        }
        return {*field, op, number, {}};
    }
    if (IsSearchableTextField(*field) && op == Op::Equal) {
        const qsizetype first = value.indexOf(QLatin1Char('"'));
        const qsizetype last = value.lastIndexOf(QLatin1Char('"'));
        if (first < 0 || last <= first || !value.left(first).trimmed().isEmpty() ||
            !value.mid(last + 1).trimmed().isEmpty()) {
            Reject(criteria);
        }
        return TextEquals(*field, value.mid(first + 1, last - first - 1));
    }
    Reject(criteria);
}

QString Criterion::ToText() const {
    const QString name = QLatin1String(NameOf(field));
    if (IsText()) {
        return name + QStringLiteral("=\"") + text + QLatin1Char('"');
    }
    return name + (op == Op::Equal ? QLatin1Char('=') : QLatin1Char('>')) + QString::number(number);
}

}  // namespace lineara
