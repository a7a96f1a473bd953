// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/windows/TextPreview.h"

#include <QComboBox>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <algorithm>
#include <iterator>

#include "core/translation/TextCheck.h"
#include "ui/platform/Anchors.h"
#include "ui/platform/modGTA2Qt.h"

namespace {

// Shows as much of `text` as fits the label, cut in the middle, all of it as a tip.
void SetFitted(QLabel* label, const QString& text)
{
    label->setText(label->fontMetrics().elidedText(text, Qt::ElideMiddle, label->width()));
    label->setToolTip(label->text() == text ? QString() : text);
}

}  // namespace

// The drawn text at the zoom, each pixel a sharp square, from the top left.
class TextPreview::Canvas : public QWidget {
public:
    explicit Canvas(TextPreview& pane) : QWidget(nullptr), pane_(pane)
    {
        setObjectName(QStringLiteral("canvas"));
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QPainter painter(this);
        painter.fillRect(event->rect(), QColor::fromRgb(kTextBox));
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        // Only the part shown is scaled: a long text at 4x is far wider than the screen.
        painter.drawImage(rect(), pane_.image_);
    }

private:
    TextPreview& pane_;
};

TextPreview::TextPreview(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TextPreview"));
    resize(kDefaultSize);
    const int w = kDefaultSize.width(), h = kDefaultSize.height();

    cmdStyle = Child<QPushButton>(this, "cmdStyle", {0, 1, 91, 25}, QStringLiteral("Font style..."));
    lblStyle = Child<QLabel>(this, "lblStyle", {97, 6, w - 97 - 152, 16});
    cmbFont = Child<QComboBox>(this, "cmbFont", {w - 148, 2, 80, 24});
    cmbFont->setToolTip(QStringLiteral("The font the text is drawn in"));
    cmbZoom = Child<QComboBox>(this, "cmbZoom", {w - 64, 2, 64, 24});
    for (int zoom = 1; zoom <= 4; ++zoom)
        cmbZoom->addItem(QStringLiteral("%1x").arg(zoom));

    picText = Child<QScrollArea>(this, "picText", {0, 30, w, h - 52});
    QPalette dark = picText->viewport()->palette();
    dark.setColor(QPalette::Window, QColor::fromRgb(kBackground));
    picText->viewport()->setPalette(dark);
    picText->viewport()->setAutoFillBackground(true);
    canvas = new Canvas(*this);
    picText->setWidget(canvas);
    canvas->resize(0, 0);

    lblWidth = Child<QLabel>(this, "lblWidth", {0, h - 18, 130, 16});
    lblMissing = Child<QLabel>(this, "lblMissing", {134, h - 18, w - 134, 16});
    lblMissing->setStyleSheet(QStringLiteral("color: #B00000"));

    Anchor(lblStyle, Follow::Width);
    Anchor(cmbFont, Follow::Right);
    Anchor(cmbZoom, Follow::Right);
    Anchor(picText, Follow::Width | Follow::Height);
    Anchor(lblWidth, Follow::Bottom);
    Anchor(lblMissing, Follow::Bottom | Follow::Width);

    connect(cmdStyle, &QPushButton::clicked, this, &TextPreview::StyleRequested);
    connect(cmbFont, &QComboBox::activated, this, [this](int font) {
        UseFont(font);
        emit FontChanged();
    });
    connect(cmbZoom, &QComboBox::activated, this, [this] { Redraw(); });
    SetStyle(nullptr, {});
}

TextPreview::~TextPreview() = default;

void TextPreview::SetStyle(std::shared_ptr<const clsSTY> style, const QString& styleName)
{
    font_.reset();
    style_ = std::move(style);
    const int fonts = style_ ? style_->GetNumOfFonts() : 0;
    cmbFont->clear();
    for (int f = 0; f < fonts; ++f)
        cmbFont->addItem(QStringLiteral("Font %1").arg(f));
    cmbFont->setEnabled(fonts > 0);
    if (!style_)
        styleText_ = QStringLiteral("No font style: pick one with Font style...");
    else if (fonts == 0)
        styleText_ = styleName + QStringLiteral(" has no fonts");
    else
        styleText_ = styleName;
    fontProblem_.clear();
    if (fonts == 0)
        return Redraw();
    UseFont(DefaultFont(*style_).value_or(0));
}

std::optional<int> TextPreview::Font() const
{
    if (!style_ || style_->GetNumOfFonts() == 0)
        return std::nullopt;
    return cmbFont->currentIndex();
}

void TextPreview::UseFont(int font)
{
    cmbFont->setCurrentIndex(font);
    font_.reset();
    fontProblem_.clear();
    try {
        font_.emplace(*style_, font);
    } catch (const std::exception& problem) {
        // A damaged glyph: the pane says so rather than showing nothing without a reason.
        fontProblem_ = QStringLiteral("Font %1 cannot be drawn: %2").arg(font).arg(FromUtf8(problem.what()));
    }
    Redraw();
}

void TextPreview::ShowText(const std::string& bytes)
{
    text_ = bytes;
    Redraw();
}

void TextPreview::Redraw()
{
    drawn_ = {};
    problem_ = fontProblem_;
    if (font_) {
        try {
            drawn_ = font_->Draw(text_);
        } catch (const std::exception& problem) {
            problem_ =
                QStringLiteral("Font %1 cannot draw this text: %2").arg(font_->Number()).arg(FromUtf8(problem.what()));
        }
    }
    image_ = drawn_.pixels.empty()
                 ? QImage()
                 : QImage(reinterpret_cast<const uchar*>(drawn_.pixels.data()), drawn_.width, drawn_.height,
                          static_cast<qsizetype>(drawn_.width) * 4, QImage::Format_ARGB32);
    canvas->resize(image_.size() * (cmbZoom->currentIndex() + 1));
    canvas->update();

    missing_.clear();
    if (font_ && problem_.isEmpty()) {
        std::vector<uint8_t> lacked;
        std::merge(drawn_.findings.undrawable.begin(), drawn_.findings.undrawable.end(), drawn_.findings.blank.begin(),
                   drawn_.findings.blank.end(), std::back_inserter(lacked));
        if (!lacked.empty())
            missing_ = QStringLiteral("Cannot draw: ") + FromUtf8(LetterNames(lacked));
    }
    ShowLabels();
}

void TextPreview::ShowLabels()
{
    SetFitted(lblStyle, problem_.isEmpty() ? styleText_ : problem_);
    lblWidth->setText(font_ && problem_.isEmpty() ? QStringLiteral("Width: %1 pixels").arg(drawn_.width) : QString());
    SetFitted(lblMissing, missing_);
}

void TextPreview::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    ShowLabels();  // the anchors have placed the labels: more of their texts may fit
}
