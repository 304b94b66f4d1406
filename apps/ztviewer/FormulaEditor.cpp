#include "FormulaEditor.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTextBlock>
#include <QVBoxLayout>

#include <cmath>

namespace {

enum Column { eName, eDefault, eMin, eMax, eStep, eColumns };

QString cell(const QTableWidget* t, int row, int column)
{
    const QTableWidgetItem* item = t->item(row, column);
    return item ? item->text().trimmed() : QString();
}

} // namespace

FormulaEditor::FormulaEditor(QWidget* parent)
    : QDialog(parent)
    , m_name(new QLineEdit(this))
    , m_text(new QPlainTextEdit(this))
    , m_params(new QTableWidget(0, eColumns, this))
    , m_status(new QLabel(this))
{
    setWindowTitle(QStringLiteral("Formula editor"));
    m_name->setPlaceholderText(QStringLiteral("Name, e.g. MYBAND"));
    m_text->setPlaceholderText(QStringLiteral("MID:MA(C,N);\nUP:MID+2*STD(C,N),DOTLINE;"));
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_params->setHorizontalHeaderLabels({QStringLiteral("Parameter"), QStringLiteral("Default"),
                                         QStringLiteral("Min"), QStringLiteral("Max"),
                                         QStringLiteral("Step")});
    m_params->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_params->setMaximumHeight(150);
    m_status->setWordWrap(true);

    auto* addParam = new QPushButton(QStringLiteral("Add parameter"), this);
    auto* removeParam = new QPushButton(QStringLiteral("Remove parameter"), this);
    connect(addParam, &QPushButton::clicked, this, [this] {
        if (m_params->rowCount() < ZtLineLib_Formula::kMaxFormulaParams)
            m_params->insertRow(m_params->rowCount());
    });
    connect(removeParam, &QPushButton::clicked, this, [this] {
        m_params->removeRow(m_params->currentRow() >= 0 ? m_params->currentRow()
                                                        : m_params->rowCount() - 1);
        check();
    });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Apply | QDialogButtonBox::Close, this);
    connect(buttons->button(QDialogButtonBox::Apply), &QPushButton::clicked, this, &FormulaEditor::apply);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* paramButtons = new QHBoxLayout;
    paramButtons->addWidget(addParam);
    paramButtons->addWidget(removeParam);
    paramButtons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_name);
    layout->addWidget(m_text, 1);
    layout->addWidget(m_params);
    layout->addLayout(paramButtons);
    layout->addWidget(m_status);
    layout->addWidget(buttons);
    resize(640, 520);

    // Compiled as it is typed.
    connect(m_text, &QPlainTextEdit::textChanged, this, &FormulaEditor::check);
    connect(m_name, &QLineEdit::textChanged, this, &FormulaEditor::check);
    connect(m_params, &QTableWidget::itemChanged, this, &FormulaEditor::check);
    check();
}

void FormulaEditor::load(const QString& name)
{
    const ZtLineLib_Formula::CFormulaClass c = ZtLineLib_Formula::getCFormulaParamsAll(name);
    m_name->setText(c.text1);
    m_params->setRowCount(0);
    for (int j = 0; j < c.paramCount; ++j) {
        m_params->insertRow(j);
        const float values[] = {c.paramValues.value(j), c.paramList1.value(j),
                                c.paramList2.value(j), c.paramList5.value(j)};
        m_params->setItem(j, eName, new QTableWidgetItem(c.paramNames.value(j)));
        for (int k = 0; k < 4; ++k)
            m_params->setItem(j, eDefault + k, new QTableWidgetItem(QString::number(double(values[k]), 'g', 7)));
    }
    m_text->setPlainText(c.text3);
    check();
}

bool FormulaEditor::definition(TagFormularContent* def)
{
    *def = TagFormularContent();
    def->paramCount = 0;
    for (auto& row : def->params)
        for (float& v : row)
            v = 0.0f;
    for (int& n : def->numbers)
        n = 0;
    const QString name = m_name->text().trimmed();
    if (name.isEmpty()) {
        m_problem = QStringLiteral("The formula needs a name.");
        return false;
    }
    def->texts[0] = name.toStdString();
    def->texts[2] = m_text->toPlainText().toStdString();
    def->texts[4] = "user";
    for (int row = 0; row < m_params->rowCount(); ++row) {
        const QString pname = cell(m_params, row, eName);
        if (pname.isEmpty())
            continue;
        float v[4] = {0, 0, 0, 1};
        for (int k = 0; k < 4; ++k) {
            const QString text = cell(m_params, row, eDefault + k);
            bool ok = true;
            if (!text.isEmpty())
                v[k] = text.toFloat(&ok);
            else if (k == 1 || k == 2)
                v[k] = v[0];
            if (!ok || !std::isfinite(v[k])) {
                m_problem = QStringLiteral("Parameter %1: \"%2\" is not a number.").arg(pname, text);
                return false;
            }
        }
        if (v[1] > v[2] || v[0] < v[1] || v[0] > v[2]) {
            m_problem = QStringLiteral("Parameter %1: the default must lie between min and max.").arg(pname);
            return false;
        }
        const int j = def->paramCount++;
        def->paramNames[j] = pname.toStdString();
        def->params[0][j] = v[1];
        def->params[1][j] = v[2];
        def->params[2][j] = v[0];
        def->params[3][j] = v[0];
        def->params[4][j] = v[3];
    }
    return true;
}

bool FormulaEditor::check()
{
    m_problem.clear();
    m_text->setExtraSelections({});
    TagFormularContent def;
    std::string why;
    if (definition(&def) && !ModuleFormular::checkFormula(def, &why)) {
        m_problem = QString::fromStdString(why);
        // "line L, column C: message"
        static const QRegularExpression at(QStringLiteral("^line (\\d+), column (\\d+): "));
        const QRegularExpressionMatch m = at.match(m_problem);
        if (m.hasMatch())
            mark(m.captured(1).toInt(), m.captured(2).toInt());
    }
    m_status->setText(m_problem.isEmpty() ? QStringLiteral("Compiles.") : m_problem);
    m_status->setStyleSheet(m_problem.isEmpty() ? QString() : QStringLiteral("color: #d04040;"));
    return m_problem.isEmpty();
}

void FormulaEditor::mark(int line, int column)
{
    const QTextBlock block = m_text->document()->findBlockByNumber(line - 1);
    if (!block.isValid())
        return;
    QTextCursor cursor(block);
    // Columns count characters from 1; a position past the line marks its end.
    const int offset = std::min(std::max(column - 1, 0), std::max(block.length() - 1, 0));
    cursor.setPosition(block.position() + offset);
    cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
    QTextEdit::ExtraSelection error;
    error.cursor = cursor;
    error.format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
    error.format.setUnderlineColor(Qt::red);
    error.format.setBackground(QColor(255, 0, 0, 60));
    m_text->setExtraSelections({error});
}

bool FormulaEditor::apply()
{
    TagFormularContent def;
    if (!check() || !definition(&def))
        return false;
    if (!ZtLineLib_Formula::m_dformulaManage.SetFormularContent(def)) {
        m_status->setText(QStringLiteral("The store refused the formula."));
        return false;
    }
    emit applied(ZtLineLib_Formula::userFormulaType(m_name->text().trimmed()));
    return true;
}
