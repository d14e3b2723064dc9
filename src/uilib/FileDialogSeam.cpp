#include "uilib/FileDialogSeam.h"

#include <QFileDialog>

namespace uilib {
namespace {

FileDialogResponder& installedResponder()
{
    static FileDialogResponder responder;
    return responder;
}

QString ask(const FileDialogRequest& request)
{
    const FileDialogResponder responder = installedResponder();
    if (responder)
        return responder(request);
    switch (request.kind) {
    case FileDialogRequest::OpenFile:
        return QFileDialog::getOpenFileName(request.owner, request.caption, request.directory,
                                            request.filter);
    case FileDialogRequest::SaveFile:
        return QFileDialog::getSaveFileName(request.owner, request.caption, request.directory,
                                            request.filter);
    case FileDialogRequest::Folder:
        return QFileDialog::getExistingDirectory(request.owner, request.caption, request.directory);
    }
    return QString();
}

FileDialogRequest makeRequest(FileDialogRequest::Kind kind, QWidget* owner, const QString& caption,
                              const QString& directory, const QString& filter)
{
    FileDialogRequest request;
    request.kind = kind;
    request.owner = owner;
    request.caption = caption;
    request.directory = directory;
    request.filter = filter;
    return request;
}

} // namespace

QString getOpenFileName(QWidget* owner, const QString& caption, const QString& directory,
                        const QString& filter)
{
    return ask(makeRequest(FileDialogRequest::OpenFile, owner, caption, directory, filter));
}

QString getSaveFileName(QWidget* owner, const QString& caption, const QString& directory,
                        const QString& filter)
{
    return ask(makeRequest(FileDialogRequest::SaveFile, owner, caption, directory, filter));
}

QString getExistingDirectory(QWidget* owner, const QString& caption, const QString& directory)
{
    return ask(makeRequest(FileDialogRequest::Folder, owner, caption, directory, QString()));
}

FileDialogResponder setFileDialogResponder(FileDialogResponder responder)
{
    FileDialogResponder previous = std::move(installedResponder());
    installedResponder() = std::move(responder);
    return previous;
}

} // namespace uilib
