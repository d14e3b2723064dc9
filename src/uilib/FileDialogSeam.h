#pragma once
#include <QString>

#include <functional>

class QWidget;

// The file-open, file-save and folder choosers of the program. Tests
// install a responder that answers with a path (or an empty text for
// Cancel) instead of a modal dialog.
namespace uilib {

struct FileDialogRequest {
    enum Kind { OpenFile, SaveFile, Folder };
    Kind kind = OpenFile;
    QWidget* owner = nullptr;
    QString caption;
    QString directory;
    QString filter;
};

using FileDialogResponder = std::function<QString(const FileDialogRequest&)>;

// Each returns the chosen path, or an empty text when the user cancelled.
QString getOpenFileName(QWidget* owner, const QString& caption, const QString& directory,
                        const QString& filter);
QString getSaveFileName(QWidget* owner, const QString& caption, const QString& directory,
                        const QString& filter);
QString getExistingDirectory(QWidget* owner, const QString& caption, const QString& directory);

FileDialogResponder setFileDialogResponder(FileDialogResponder responder);

} // namespace uilib
