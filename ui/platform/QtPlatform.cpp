// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/platform/QtPlatform.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <cstdlib>
#include <memory>

namespace {

QString StartPath(const FileDialogRequest& request)
{
    if (request.fileName.isEmpty())
        return request.directory;
    return QDir(request.directory).filePath(request.fileName);
}

QMessageBox::Icon ToQtIcon(MessageIcon icon)
{
    switch (icon) {
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Warning:
            return QMessageBox::Warning;
        case MessageIcon::Critical:
            return QMessageBox::Critical;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

QString DescribeStatus(QSettings::Status status)
{
    switch (status) {
        case QSettings::AccessError:
            return QStringLiteral("the settings store could not be written (access denied)");
        case QSettings::FormatError:
            return QStringLiteral("the settings store is damaged");
        case QSettings::NoError:
            break;
    }
    return {};
}

}  // namespace

std::unique_ptr<QSettings> QtPlatform::OpenSettings(const QString& application) const
{
    if (settingsFile_.isEmpty())
        return std::make_unique<QSettings>(QSettings::UserScope, application, application);
    return std::make_unique<QSettings>(settingsFile_, QSettings::IniFormat);
}

QtPlatform::QtPlatform(QString settingsFile) : settingsFile_(std::move(settingsFile)) {}

QString QtPlatform::OpenFileName(QWidget* parent, const FileDialogRequest& request)
{
    return QFileDialog::getOpenFileName(parent, QString(), StartPath(request), QtFileFilter(request.filter));
}

QString QtPlatform::SaveFileName(QWidget* parent, const FileDialogRequest& request)
{
    const QFileDialog::Options options =
        request.confirmOverwrite ? QFileDialog::Options() : QFileDialog::DontConfirmOverwrite;
    return QFileDialog::getSaveFileName(parent, QString(), StartPath(request), QtFileFilter(request.filter), nullptr,
                                        options);
}

QString QtPlatform::FolderName(QWidget* parent, const QString& directory)
{
    return QFileDialog::getExistingDirectory(parent, QString(), directory);
}

void QtPlatform::Message(QWidget* parent, const QString& text, const QString& title, MessageIcon icon)
{
    QMessageBox box(ToQtIcon(icon), title, text, QMessageBox::Ok, parent);
    box.exec();
}

SaveChoice QtPlatform::AskToSave(QWidget* parent, const QString& text, const QString& title)
{
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                    parent);
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    // Each with its letter: the desktop's own wording may have none, or a Discard spelt
    // out ("Close without Saving") that does not fit every place it is asked.
    box.button(QMessageBox::Save)->setText(QStringLiteral("&Save"));
    box.button(QMessageBox::Discard)->setText(QStringLiteral("&Discard"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("&Cancel"));
    switch (box.exec()) {
        case QMessageBox::Save:
            return SaveChoice::Save;
        case QMessageBox::Discard:
            return SaveChoice::Discard;
        default:
            return SaveChoice::Cancel;
    }
}

bool QtPlatform::Confirm(QWidget* parent, const QString& question, const QString& title)
{
    return QMessageBox::question(parent, title, question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
           QMessageBox::Yes;
}

std::optional<int> QtPlatform::Choose(QWidget* parent, const QString& prompt, const QString& title,
                                      const QStringList& choices)
{
    bool ok = false;
    const QString picked = QInputDialog::getItem(parent, title, prompt, choices, 0, false, &ok);
    if (!ok)
        return std::nullopt;
    return static_cast<int>(choices.indexOf(picked));
}

std::optional<QString> QtPlatform::Input(QWidget* parent, const QString& prompt, const QString& title,
                                         const QString& initial)
{
    bool ok = false;
    const QString text = QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, initial, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

QString QtPlatform::ReadSetting(const QString& application, const QString& section, const QString& key)
{
    const std::unique_ptr<QSettings> settings = OpenSettings(application);
    settings->beginGroup(section);
    return settings->value(key).toString();
}

QString QtPlatform::WriteSetting(const QString& application, const QString& section, const QString& key,
                                 const QString& value)
{
    const std::unique_ptr<QSettings> settings = OpenSettings(application);
    settings->beginGroup(section);
    settings->setValue(key, value);
    settings->endGroup();
    settings->sync();
    return DescribeStatus(settings->status());
}

bool QtPlatform::OpenUrl(const QUrl& url)
{
    return QDesktopServices::openUrl(url);
}

void QtPlatform::EndProgram()
{
    std::_Exit(0);
}
