#include "ui/file_dialogs.h"

#include <QDir>
#include <QFileDialog>

namespace quillon {

QStringList qt_name_filters(std::string_view filter) {
    const QStringList parts =
        QString::fromUtf8(filter.data(), static_cast<qsizetype>(filter.size())).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        const QString pattern = parts[i + 1];
        if (!description.contains(QLatin1Char('(') + pattern + QLatin1Char(')')))
            description += QStringLiteral(" (") + pattern + QLatin1Char(')');
        description.replace(QStringLiteral("(*.*)"), QStringLiteral("(*)"));
        filters << description;
    }
    return filters;
}

void prepare_file_dialog(QFileDialog& dialog, const FileDialogRequest& request) {
    const bool save = request.kind == FileDialogRequest::Kind::Save;
    dialog.setObjectName(save ? QStringLiteral("CommonDialog2") : QStringLiteral("CommonDialog1"));
    dialog.setWindowTitle(QString::fromStdString(request.title));
    dialog.setNameFilters(qt_name_filters(request.filter));
    dialog.setDirectory(QString::fromStdString(request.folder));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (save) {
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        dialog.setDefaultSuffix(QStringLiteral("hex"));
    }
    dialog.selectFile(QString());
}

std::string chosen_file(const QFileDialog& dialog, int result) {
    if (result != QDialog::Accepted) return {};
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty()) return {};
    return QDir::toNativeSeparators(files.first()).toStdString();
}

}  // namespace quillon
