#pragma once

#include <QString>

#include <functional>

class QCheckBox;
class QComboBox;
class QFormLayout;
class QHBoxLayout;
class QLayout;
class QLineEdit;
class QObject;
class QPushButton;
class QRadioButton;
class QWidget;

namespace kelo::app {

// Lays out a page of a record window in up to two columns of labelled
// rows, in reading order, which is also the order Tab and Enter follow:
// Enter moves to the next field as Tab does, and from the last back to the
// first, so that a clerk keys a page without the mouse. Labels get an Alt
// key from the letters the menu bar leaves free.
class PageBuilder {
public:
    explicit PageBuilder(QWidget* page);
    // Finishes the layout and teaches every field the Enter key.
    ~PageBuilder();
    PageBuilder(const PageBuilder&) = delete;
    PageBuilder& operator=(const PageBuilder&) = delete;

    void nextColumn();

    QLineEdit* edit(const char* name, const QString& label, int maxLength);
    // Right-aligned, for amounts, rates and hours.
    QLineEdit* amount(const char* name, const QString& label, int maxLength);
    QComboBox* list(const char* name, const QString& label, int characters);
    // A value the form shows but the clerk does not type, with the "..."
    // button that changes it when there is one.
    QLineEdit* shown(const char* name, const QString& label, int characters,
                     const char* buttonName = nullptr, const std::function<void()>& action = {});
    QCheckBox* check(const char* name, const QString& text, const std::function<void()>& action);
    QRadioButton* radio(const char* name, const QString& text, QWidget* parent);

    // Controls placed by the caller.
    QLineEdit* newEdit(const char* name, int maxLength, QWidget* parent = nullptr);
    QComboBox* newList(const char* name, int characters);

    void addRow(QWidget* label, QWidget* field);
    // A label before fields on one line; its Alt key goes to the first.
    void addRow(const QString& label, QLayout* fields);
    void addHeading(const QString& text);
    void addWhole(QWidget* widget);
    void addWhole(QLayout* layout);
    QWidget* page() const { return page_; }

    // `text` with the first letter that no label of the page and no menu
    // of the menu bar has taken marked as its Alt key.
    QString mnemonic(const QString& text);
    // Letters a window's own popup takes besides the usual menus.
    void reserve(const QString& letters) { used_ += letters; }

private:
    void addRow(const QString& label, QWidget* field);
    QPushButton* dots(const char* name, const std::function<void()>& action);

    QWidget* page_;
    QHBoxLayout* columns_;
    QFormLayout* form_ = nullptr;
    QObject* enter_;
    // File, Record, Report, Organisation, System, Procedure, Help.
    QString used_ = QStringLiteral("fcrosph");
};

// A value the form shows and the clerk does not type: on the window's
// colour, and out of the way of Tab and Enter.
QLineEdit* shownBox(QWidget* parent, const char* name, int characters);

// The page's first field that takes the keyboard; null when none does.
QWidget* firstField(QWidget& page);

} // namespace kelo::app
