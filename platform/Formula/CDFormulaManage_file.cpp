// Saving and loading the store as one JSON document (format in
// CDFormulaManage.h).

#include "CDFormulaManage.h"

#include "internal/FormulaRegistry.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QSet>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

const char* const kFormat = "ZtFormulaStore";
constexpr int kVersion = 1;
// A store holds a few hundred definitions at most; anything far larger is
// not a store, and is refused before it is read into memory.
constexpr qint64 kMaxFileSize = 16 * 1024 * 1024;

void report(std::string* error, const QString& message)
{
    if (error)
        *error = message.toStdString();
}

QJsonObject toJson(const TagFormularContent& c)
{
    QJsonArray texts;
    for (const std::string& t : c.texts)
        texts.append(QString::fromStdString(t));
    QJsonArray numbers;
    for (int n : c.numbers)
        numbers.append(n);
    QJsonArray params;
    for (int j = 0; j < c.paramCount; ++j) {
        QJsonArray values;
        for (int k = 0; k < 5; ++k) {
            const float v = c.params[k][j];
            values.append(std::isfinite(v) ? QJsonValue(double(v)) : QJsonValue());
        }
        params.append(QJsonObject{{"name", QString::fromStdString(c.paramNames[j])},
                                  {"values", values}});
    }
    return QJsonObject{{"texts", texts}, {"numbers", numbers}, {"params", params}};
}

// Fills c from one entry; on failure returns the reason.
QString fromJson(const QJsonValue& entry, TagFormularContent& c)
{
    if (!entry.isObject())
        return QStringLiteral("is not an object");
    const QJsonObject o = entry.toObject();
    const QJsonArray texts = o.value("texts").toArray();
    if (texts.size() != 6)
        return QStringLiteral("needs six texts");
    for (int i = 0; i < 6; ++i) {
        if (!texts[i].isString())
            return QStringLiteral("text %1 is not a string").arg(i);
        c.texts[i] = texts[i].toString().toStdString();
    }
    if (c.texts[0].empty())
        return QStringLiteral("has an empty name");
    const QJsonArray numbers = o.value("numbers").toArray();
    if (numbers.size() != 6)
        return QStringLiteral("needs six numbers");
    for (int i = 0; i < 6; ++i) {
        const double n = numbers[i].toDouble(std::numeric_limits<double>::quiet_NaN());
        if (!numbers[i].isDouble() || n != std::floor(n) || std::fabs(n) > 2147483647.0)
            return QStringLiteral("number %1 is not an integer").arg(i);
        c.numbers[i] = int(n);
    }
    if (!o.value("params").isArray())
        return QStringLiteral("has no parameter list");
    const QJsonArray params = o.value("params").toArray();
    if (params.size() > 16)
        return QStringLiteral("has more than 16 parameters");
    c.paramCount = params.size();
    for (int j = 0; j < params.size(); ++j) {
        const QJsonObject p = params[j].toObject();
        const QJsonArray values = p.value("values").toArray();
        if (!p.value("name").isString() || values.size() != 5)
            return QStringLiteral("parameter %1 needs a name and five values").arg(j);
        c.paramNames[j] = p.value("name").toString().toStdString();
        for (int k = 0; k < 5; ++k) {
            if (!values[k].isDouble() && !values[k].isNull())
                return QStringLiteral("parameter %1 has a value that is not a number").arg(j);
            c.params[k][j] = values[k].isNull() ? std::numeric_limits<float>::quiet_NaN()
                                                : float(values[k].toDouble());
        }
    }
    return QString();
}

} // namespace

bool CDFormulaManage::saveToFile(const std::string& path, std::string* error) const
{
    QJsonArray formulas;
    for (const TagFormularContent& c : m_contents)
        formulas.append(toJson(c));
    const QJsonObject root{{"format", kFormat}, {"version", kVersion}, {"formulas", formulas}};
    const QString fileName = QString::fromStdString(path);
    // Written beside the target and renamed over it on commit, so a failed
    // save never leaves half a store behind.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        report(error, QStringLiteral("cannot write %1: %2").arg(fileName, file.errorString()));
        return false;
    }
    // A short write (a full disk, a file size limit) sets no error of its
    // own: committing then would rename a truncated store over the good one.
    const QByteArray json = QJsonDocument(root).toJson(QJsonDocument::Indented);
    const qint64 written = file.write(json);
    if (written != json.size()) {
        file.cancelWriting();
        report(error, QStringLiteral("cannot write %1: only %2 of %3 bytes written")
                          .arg(fileName).arg(std::max<qint64>(written, 0)).arg(json.size()));
        return false;
    }
    if (!file.commit()) {
        report(error, QStringLiteral("cannot write %1: %2").arg(fileName, file.errorString()));
        return false;
    }
    return true;
}

bool CDFormulaManage::loadFromFile(const std::string& path, std::string* error)
{
    const QString fileName = QString::fromStdString(path);
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        report(error, QStringLiteral("cannot read %1: %2").arg(fileName, file.errorString()));
        return false;
    }
    if (file.size() > kMaxFileSize) {
        report(error, QStringLiteral("%1 is too large for a formula store").arg(fileName));
        return false;
    }
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (doc.isNull()) {
        report(error, QStringLiteral("%1 is not valid JSON (offset %2: %3)")
                          .arg(fileName)
                          .arg(parseError.offset)
                          .arg(parseError.errorString()));
        return false;
    }
    const QJsonObject root = doc.object();
    if (root.value("format").toString() != QLatin1String(kFormat)
        || root.value("version").toInt(-1) != kVersion || !root.value("formulas").isArray()) {
        report(error, QStringLiteral("%1 is not a formula store of version %2")
                          .arg(fileName)
                          .arg(kVersion));
        return false;
    }
    // Everything is read into a new list first; the store changes only once
    // the whole file proved sound.
    std::vector<TagFormularContent> loaded;
    QSet<QString> names;
    const QJsonArray formulas = root.value("formulas").toArray();
    for (int i = 0; i < formulas.size(); ++i) {
        TagFormularContent c;
        const QString problem = fromJson(formulas[i], c);
        if (!problem.isEmpty()) {
            report(error, QStringLiteral("%1: formula %2 %3").arg(fileName).arg(i).arg(problem));
            return false;
        }
        const QString name = QString::fromStdString(c.texts[0]);
        if (names.contains(name)) {
            report(error, QStringLiteral("%1: formula %2 repeats the name %3")
                              .arg(fileName)
                              .arg(i)
                              .arg(name));
            return false;
        }
        names.insert(name);
        loaded.push_back(c);
    }
    m_contents = std::move(loaded);
    FormulaRegistry::instance().touchStore(this);
    return true;
}
