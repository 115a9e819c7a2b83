#pragma once

#include <QImage>
#include <QString>

class frmMain;

// The cover picture command behind a click on the main window's cover: the chosen
// picture file becomes the active title's cover, and the cover shows it at once.
class CoverChooser
{
public:
    explicit CoverChooser(frmMain &main);

    void ImgCover_Click();

    // The chooser's filter: letter case is ignored, so camera files named .JPG match.
    static QString ImageFilter()
    {
        return QStringLiteral("Image files (*.bmp *.gif *.jpg *.jpeg *.png)");
    }
    static QString DialogTitle() { return QStringLiteral("Choose Picture File"); }

    // Copies source's bytes over target through a temporary file beside the target
    // (AtomicFile), so a failed copy leaves the target as it was. On failure, error
    // says why.
    static bool ReplaceFile(const QString &source, const QString &target, QString *error);

private:
    // A clear message when the chosen file cannot become a cover; true when it can, and
    // then `picture` holds it decoded at the cover's size.
    bool CheckChosenFile(const QString &path, QImage *picture);

    frmMain &m_main;
};
