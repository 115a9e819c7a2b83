#pragma once

#include <QImage>
#include <QTimer>
#include <QWidget>
#include <functional>

class QFrame;
class QGroupBox;
class QLabel;

// The preview pane of the cover chooser: a thumbnail of the picture file named in the
// chooser with its height, width and file size. It takes no input.
class frmPic : public QWidget
{
    Q_OBJECT

public:
    explicit frmPic(QWidget *parent = nullptr);

    // Shows the picture at path and its facts, replacing the previous ones. A file
    // that is not a picture shows "not a picture" and its size only.
    void LoadImage(const QString &path);

    // From now on, every Timer1 tick asks namedFile() for the file the chooser names
    // and loads it when the name has changed and names an existing file; otherwise the
    // last picture stays.
    void Follow(std::function<QString()> namedFile);

    // Controls
    QGroupBox *Frame1 = nullptr;
    QLabel *lblh = nullptr;
    QLabel *lblw = nullptr;
    QLabel *lblSize = nullptr;
    QFrame *Picture2 = nullptr;
    QLabel *Image1 = nullptr;
    QTimer Timer1;

    // The pane's size in pixels (about 6240 by 1545 twips).
    static constexpr int PaneWidth = 416;
    static constexpr int PaneHeight = 100;

    // "1.46" for 1500 bytes: kilobytes with two decimals, halves rounded up.
    static QString Kilobytes(qint64 bytes);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void ShowThumbnail();
    void Timer1_Timer();

    QImage m_thumbnail;
    std::function<QString()> m_namedFile;
    QString m_loadedFile;
};
