#include "app/view/qt/QtFrontEnd.h"

namespace fendralwin {

namespace {

template <typename Widget>
Widget* named(FormWindow& window, const char* name) {
    return window.control<Widget>(QString::fromLatin1(name));
}

} // namespace

QtFrontEnd::QtFrontEnd(Platform& platform)
    : window_(std::make_unique<FormWindow>())
    , windowControl_(window_.get())
    , drvIn_(named<DriveComboBox>(*window_, "drvIn"))
    , dirIn_(named<FolderListView>(*window_, "dirIn"))
    , filIn_(named<FileListView>(*window_, "filIn"))
    , drvOut_(named<DriveComboBox>(*window_, "drvOut"))
    , dirOut_(named<FolderListView>(*window_, "dirOut"))
    , txtOutputFile_(named<QLineEdit>(*window_, "txtOutputFile"))
    , hscrlRadius_(named<QScrollBar>(*window_, "hscrlRadius"))
    , hscrlMaxDiff_(named<QScrollBar>(*window_, "hscrlMaxDiff"))
    , txtRadius_(named<QLineEdit>(*window_, "txtRadius"))
    , txtMaxDiff_(named<QLineEdit>(*window_, "txtMaxDiff"))
    , cmdRunFendral_(named<QPushButton>(*window_, "cmdRunFendral"))
    , lblInputFile_(named<QLabel>(*window_, "lblInputFile"))
    , lblOutputFile_(named<QLabel>(*window_, "lblOutputFile"))
    , messageBoxes_(window_.get()) {
    const FormControls controls{
        .window = windowControl_,
        .drvIn = drvIn_,
        .dirIn = dirIn_,
        .filIn = filIn_,
        .drvOut = drvOut_,
        .dirOut = dirOut_,
        .txtOutputFile = txtOutputFile_,
        .hscrlRadius = hscrlRadius_,
        .hscrlMaxDiff = hscrlMaxDiff_,
        .txtRadius = txtRadius_,
        .txtMaxDiff = txtMaxDiff_,
        .cmdRunFendral = cmdRunFendral_,
        .lblInputFile = lblInputFile_,
        .lblOutputFile = lblOutputFile_,
    };
    form_ = std::make_unique<frmFendralWrapper>(controls, messageBoxes_, platform);
    // The lists start on the program folder, where the folder variables start too.
    openListsOn(QString::fromStdString(platform.programFolder()));
    form_->Form_Load();
    connectEvents();
}

void QtFrontEnd::show() {
    window_->show();
    named<DriveComboBox>(*window_, "drvIn")->setFocus(Qt::ActiveWindowFocusReason);
}

void QtFrontEnd::openListsOn(const QString& folder) {
    for (const char* side : {"In", "Out"}) {
        const QString suffix = QString::fromLatin1(side);
        auto* folders = window_->control<FolderListView>(QStringLiteral("dir") + suffix);
        folders->openFolder(folder);
        window_->control<DriveComboBox>(QStringLiteral("drv") + suffix)
            ->showDriveOf(folders->folderPath());
    }
    named<FileListView>(*window_, "filIn")
        ->setFolderPath(named<FolderListView>(*window_, "dirIn")->folderPath());
}

void QtFrontEnd::connectEvents() {
    FormWindow& w = *window_;
    frmFendralWrapper* f = form_.get();
    const auto on = [f](void (frmFendralWrapper::*handler)()) {
        return [f, handler] {
            (f->*handler)();
        };
    };

    QObject::connect(named<DriveComboBox>(w, "drvIn"), &DriveComboBox::driveChosen, &w,
                     on(&frmFendralWrapper::drvIn_Change));
    QObject::connect(named<FolderListView>(w, "dirIn"), &FolderListView::folderChanged, &w,
                     on(&frmFendralWrapper::dirIn_Change));
    QObject::connect(named<FileListView>(w, "filIn"), &FileListView::fileChosen, &w,
                     on(&frmFendralWrapper::filIn_Click));
    QObject::connect(named<DriveComboBox>(w, "drvOut"), &DriveComboBox::driveChosen, &w,
                     on(&frmFendralWrapper::drvOut_Change));
    QObject::connect(named<FolderListView>(w, "dirOut"), &FolderListView::folderChanged, &w,
                     on(&frmFendralWrapper::dirOut_Change));
    QObject::connect(named<QLineEdit>(w, "txtOutputFile"), &QLineEdit::textChanged, &w,
                     on(&frmFendralWrapper::txtOutputFile_Change));
    QObject::connect(named<QScrollBar>(w, "hscrlRadius"), &QScrollBar::sliderMoved, &w,
                     on(&frmFendralWrapper::hscrlRadius_Scroll));
    QObject::connect(named<QScrollBar>(w, "hscrlMaxDiff"), &QScrollBar::sliderMoved, &w,
                     on(&frmFendralWrapper::hscrlMaxDiff_Scroll));
    QObject::connect(named<QLineEdit>(w, "txtRadius"), &QLineEdit::textChanged, &w,
                     on(&frmFendralWrapper::txtRadius_Change));
    QObject::connect(named<QLineEdit>(w, "txtMaxDiff"), &QLineEdit::textChanged, &w,
                     on(&frmFendralWrapper::txtMaxDiff_Change));
    QObject::connect(named<QPushButton>(w, "cmdRunFendral"), &QPushButton::clicked, &w,
                     on(&frmFendralWrapper::cmdRunFendral_Click));
    QObject::connect(named<QPushButton>(w, "cmdExit"), &QPushButton::clicked, &w,
                     on(&frmFendralWrapper::cmdExit_Click));

    // A folder opened in a list may lie on another mounted volume: keep the drive list on it.
    for (const char* side : {"In", "Out"}) {
        const QString suffix = QString::fromLatin1(side);
        auto* folders = w.control<FolderListView>(QStringLiteral("dir") + suffix);
        auto* drives = w.control<DriveComboBox>(QStringLiteral("drv") + suffix);
        QObject::connect(folders, &FolderListView::folderChanged, drives,
                         [folders, drives] { drives->showDriveOf(folders->folderPath()); });
    }
}

} // namespace fendralwin
