#include "app/main/PageBuilder.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace kelo::app {

namespace {

// Room for a character of a number or a code, which run wider than the
// average letter.
int charWidth(const QWidget& widget) {
    return std::max(widget.fontMetrics().averageCharWidth(),
                    widget.fontMetrics().horizontalAdvance(QLatin1Char('0')));
}

class EnterMovesOn : public QObject {
public:
    explicit EnterMovesOn(QWidget* page) : QObject(page), page_(page) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) ||
            (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget)
            return false;
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QApplication::sendEvent(widget, &tab);
        QWidget* now = QApplication::focusWidget();
        if (now == widget || !now || !page_->isAncestorOf(now))
            if (QWidget* first = firstField(*page_))
                first->setFocus(Qt::TabFocusReason);
        return true;
    }

private:
    QWidget* page_;
};

} // namespace

PageBuilder::PageBuilder(QWidget* page)
    : page_(page),
      columns_(new QHBoxLayout(page)),
      enter_(new EnterMovesOn(page)) {
    nextColumn();
}

PageBuilder::~PageBuilder() {
    columns_->addStretch(1);
    for (QWidget* child : page_->findChildren<QWidget*>())
        if (child->focusPolicy() & Qt::TabFocus)
            child->installEventFilter(enter_);
}

void PageBuilder::nextColumn() {
    // A set spacing would pass to the rows of the forms inside.
    if (form_)
        columns_->addSpacing(page_->fontMetrics().averageCharWidth() * 4);
    auto* column = new QVBoxLayout;
    form_ = new QFormLayout;
    form_->setLabelAlignment(Qt::AlignLeft);
    form_->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    column->addLayout(form_);
    column->addStretch(1);
    columns_->addLayout(column);
}

QLineEdit* PageBuilder::edit(const char* name, const QString& label, int maxLength) {
    QLineEdit* box = newEdit(name, maxLength);
    addRow(label, box);
    return box;
}

QLineEdit* PageBuilder::amount(const char* name, const QString& label, int maxLength) {
    QLineEdit* box = edit(name, label, maxLength);
    box->setAlignment(Qt::AlignRight);
    return box;
}

QComboBox* PageBuilder::list(const char* name, const QString& label, int characters) {
    QComboBox* combo = newList(name, characters);
    addRow(label, combo);
    return combo;
}

QLineEdit* PageBuilder::shown(const char* name, const QString& label, int characters,
                              const char* buttonName, const std::function<void()>& action) {
    QLineEdit* box = shownBox(page_, name, characters);
    if (!buttonName) {
        addRow(label, box);
        return box;
    }
    auto* line = new QHBoxLayout;
    line->addWidget(box);
    line->addWidget(dots(buttonName, action));
    addRow(label, line);
    return box;
}

QCheckBox* PageBuilder::check(const char* name, const QString& text,
                              const std::function<void()>& action) {
    auto* box = new QCheckBox(mnemonic(text), page_);
    box->setObjectName(QString::fromLatin1(name));
    if (action)
        QObject::connect(box, &QCheckBox::clicked, page_, action);
    form_->addRow(box);
    return box;
}

QRadioButton* PageBuilder::radio(const char* name, const QString& text, QWidget* parent) {
    auto* button = new QRadioButton(mnemonic(text), parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

QLineEdit* PageBuilder::newEdit(const char* name, int maxLength, QWidget* parent) {
    auto* box = new QLineEdit(parent ? parent : page_);
    box->setObjectName(QString::fromLatin1(name));
    box->setMaxLength(maxLength);
    box->setFixedWidth(charWidth(*box) * (std::min(maxLength, 40) + 2));
    return box;
}

QComboBox* PageBuilder::newList(const char* name, int characters) {
    auto* combo = new QComboBox(page_);
    combo->setObjectName(QString::fromLatin1(name));
    combo->setMinimumContentsLength(characters);
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    return combo;
}

QPushButton* PageBuilder::dots(const char* name, const std::function<void()>& action) {
    auto* button = new QPushButton(QStringLiteral("..."), page_);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    button->setFixedWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("...")) * 3);
    if (action)
        QObject::connect(button, &QPushButton::clicked, page_, action);
    return button;
}

void PageBuilder::addRow(QWidget* label, QWidget* field) {
    form_->addRow(label, field);
}

void PageBuilder::addRow(const QString& label, QWidget* field) {
    auto* caption = new QLabel(mnemonic(label), page_);
    caption->setBuddy(field);
    form_->addRow(caption, field);
}

void PageBuilder::addRow(const QString& label, QLayout* fields) {
    auto* caption = new QLabel(mnemonic(label), page_);
    if (QLayoutItem* first = fields->itemAt(0); first && first->widget())
        caption->setBuddy(first->widget());
    form_->addRow(caption, fields);
}

void PageBuilder::addHeading(const QString& text) {
    form_->addRow(new QLabel(text, page_));
}

void PageBuilder::addWhole(QWidget* widget) {
    form_->addRow(widget);
}

void PageBuilder::addWhole(QLayout* layout) {
    form_->addRow(layout);
}

QString PageBuilder::mnemonic(const QString& text) {
    for (int i = 0; i < text.size(); ++i) {
        const QChar letter = text[i].toLower();
        if (letter.isLetter() && !used_.contains(letter)) {
            used_.append(letter);
            QString marked = text;
            marked.insert(i, QLatin1Char('&'));
            return marked;
        }
    }
    return text;
}

QLineEdit* shownBox(QWidget* parent, const char* name, int characters) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::NoFocus);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    box->setPalette(palette);
    box->setFixedWidth(charWidth(*box) * (characters + 2));
    return box;
}

QWidget* firstField(QWidget& page) {
    for (QWidget* widget = page.nextInFocusChain(); widget && widget != &page;
         widget = widget->nextInFocusChain()) {
        if (page.isAncestorOf(widget) && (widget->focusPolicy() & Qt::TabFocus) &&
            widget->isEnabled() && widget->isVisibleTo(&page) && !widget->focusProxy())
            return widget;
    }
    return nullptr;
}

} // namespace kelo::app
