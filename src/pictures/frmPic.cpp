#include "frmPic.h"

#include "PictureFile.h"
#include "WindowLook.h"

#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QResizeEvent>

namespace {

const QString kNotAvailable = QStringLiteral("Not Available");

QLabel *factLabel(const QString &text, QWidget *parent, int top)
{
    auto *label = new QLabel(text, parent);
    label->setFont(WindowLook::Font(8, false));
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(24, top, 270, 20);
    return label;
}

} // namespace

frmPic::frmPic(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmPic"));
    setFont(WindowLook::Font(9, false));
    // A pane laid over the chooser: it shows, it never takes the pointer or the focus.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setFixedHeight(PaneHeight);
    setMinimumWidth(PaneWidth);
    resize(PaneWidth, PaneHeight);

    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(8, 0, 305, 96);
    lblh = factLabel(QStringLiteral("Height : ") + kNotAvailable, Frame1, 14);
    lblh->setObjectName(QStringLiteral("lblh"));
    lblw = factLabel(QStringLiteral("Width : ") + kNotAvailable, Frame1, 38);
    lblw->setObjectName(QStringLiteral("lblw"));
    lblSize = factLabel(QStringLiteral("File Size : ") + kNotAvailable, Frame1, 62);
    lblSize->setObjectName(QStringLiteral("lblSize"));

    Picture2 = new QFrame(this);
    Picture2->setObjectName(QStringLiteral("Picture2"));
    Picture2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Picture2->setAutoFillBackground(true);
    QPalette white = Picture2->palette();
    white.setColor(QPalette::Window, Qt::white);
    Picture2->setPalette(white);
    Picture2->setGeometry(PaneWidth - 73, 2, 73, 89);

    Image1 = new QLabel(Picture2);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(Picture2->contentsRect());
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setWordWrap(true);
    Image1->setFont(WindowLook::Font(7, false));
    QPalette grey = Image1->palette();
    grey.setColor(QPalette::WindowText, QColor(0x70, 0x70, 0x70));
    Image1->setPalette(grey);

    ShowThumbnail();

    Timer1.setInterval(20);
    connect(&Timer1, &QTimer::timeout, this, &frmPic::Timer1_Timer);
}

void frmPic::Follow(std::function<QString()> namedFile)
{
    m_namedFile = std::move(namedFile);
    Timer1.start();
}

void frmPic::Timer1_Timer()
{
    // Polled: some ways of naming a file (QFileDialog::selectFile while the name box
    // has the focus) emit no signal at all.
    const QString file = m_namedFile ? m_namedFile() : QString();
    if (file.isEmpty() || file == m_loadedFile || !QFileInfo(file).isFile())
        return;
    m_loadedFile = file;
    LoadImage(file);
}

QString frmPic::Kilobytes(qint64 bytes)
{
    // Whole hundredths, rounded half up, so 128 bytes (0.125) give 0.13 as a person expects.
    const qint64 hundredths = (bytes * 100 + 512) / 1024;
    return QString::number(hundredths / 100) + QLatin1Char('.')
           + QStringLiteral("%1").arg(hundredths % 100, 2, 10, QLatin1Char('0'));
}

void frmPic::LoadImage(const QString &path)
{
    QSize size;
    m_thumbnail = PictureFile::Read(path, Image1->size(), &size);
    ShowThumbnail();

    if (size.isValid()) {
        lblh->setText(QStringLiteral("Image Height : %1 Pixels").arg(size.height()));
        lblw->setText(QStringLiteral("Image Width : %1 Pixels").arg(size.width()));
    } else {
        lblh->setText(QStringLiteral("Height : ") + kNotAvailable);
        lblw->setText(QStringLiteral("Width : ") + kNotAvailable);
    }
    const QFileInfo file(path);
    lblSize->setText(file.isFile() ? QStringLiteral("File Size : ") + Kilobytes(file.size())
                                         + QStringLiteral(" Kb")
                                   : QStringLiteral("File Size : ") + kNotAvailable);
    if (m_thumbnail.isNull())
        Image1->setText(QStringLiteral("not a picture"));
}

void frmPic::ShowThumbnail()
{
    if (m_thumbnail.isNull())
        Image1->clear();
    else
        Image1->setPixmap(QPixmap::fromImage(m_thumbnail));
}

void frmPic::resizeEvent(QResizeEvent *event)
{
    // The thumbnail frame stays against the right edge; the labels stay where they are.
    Picture2->move(event->size().width() - Picture2->width(), Picture2->y());
    QWidget::resizeEvent(event);
}
