#pragma once

#include <ZtLineLib_Formula.h>

#include <QDialog>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTableWidget;
struct TagFormularContent;

// Writes a formula: its name, text and parameters. The text is compiled as
// it is typed and the error's place is marked; Apply stores the formula and
// hands its pane type to applied().
class FormulaEditor : public QDialog
{
    Q_OBJECT

public:
    explicit FormulaEditor(QWidget* parent = nullptr);

    // Loads a stored formula (name, text, parameters) to edit.
    void load(const QString& name);
    // The message of the last check; empty when the formula compiles.
    QString problem() const { return m_problem; }
    // Compiles what is entered and marks the error; true when it compiles.
    bool check();
    // Stores the formula when it compiles; false (nothing stored) otherwise.
    bool apply();

    QLineEdit* nameEdit() const { return m_name; }
    QPlainTextEdit* textEdit() const { return m_text; }
    QTableWidget* paramTable() const { return m_params; }

signals:
    void applied(ZtLineLib_Formula::enumFormulaType type);

private:
    // The definition entered; false with m_problem set for a bad parameter.
    bool definition(TagFormularContent* def);
    void mark(int line, int column);

    QLineEdit* m_name;
    QPlainTextEdit* m_text;
    QTableWidget* m_params;
    QLabel* m_status;
    QString m_problem;
};
