// Opens the example project and saves a picture of each element dialog,
// opened on element 1 of its first page, or on a new one where the example
// has none of that kind:
//   dialog_screenshots <out-dir> [project.prt]
// Writes dialog_<window name>.png, dialog_MECHANIZMf.png and
// dialog_Type_Control.png.
#include "project/project_reader.h"
#include "scada/ui/control_dialog.h"
#include "scada/ui/figura_dialog.h"
#include "scada/ui/go_block_dialog.h"
#include "scada/ui/grafik_dialog.h"
#include "scada/ui/level_dialog.h"
#include "scada/ui/menu_dialog.h"
#include "scada/ui/parametr_dialog.h"
#include "scada/ui/signal_dialog.h"
#include "scada/ui/text_label_dialog.h"
#include "scada/ui/text_signal_dialog.h"
#include "scada/ui/vent_dialog.h"
#include "scada/ui/element_dialogs.h"
#include "scada/element_pictures.h"
#include "support/scripted_interaction.h"
#include "workspace/workspace.h"

#include <QApplication>
#include <QDir>
#include <QTest>
#include <cstdio>
#include <memory>

using namespace ostrel;

namespace {

bool save(QWidget& w, const QString& path)
{
    QApplication::processEvents();
    const bool ok = w.grab().save(path);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());
    const QString project = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral(OSTREL_EXAMPLES "/boiler.prt");

    auto ws = std::make_unique<Workspace>();
    ScriptedInteraction ui;
    if (!readProject(*ws, project, ui).loaded()) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(project));
        return 1;
    }
    PageEditorState state;
    PageEditor editor(ws->pages, state);
    ElementPictures pictures;
    QWidget owner;
    ElementDialogs door(ElementDialogContext{ws->pages, editor, state, ws->blocks, ws->catalog, ui, pictures}, &owner);
    state.PipetteColor = 0x00c0c0c0;

    bool ok = true;
    const ObjectKind kinds[] = {ObjectKind::Parametr, ObjectKind::Signal, ObjectKind::TextSignal, ObjectKind::Level};
    for (ObjectKind kind : kinds) {
        door.open({kind, 0, 1});
        QWidget* d = door.dialog(kind);
        (void)QTest::qWaitForWindowExposed(d);
        ok = save(*d, out.filePath(QStringLiteral("dialog_%1.png").arg(d->objectName()))) && ok;
        d->close();
    }

    state.placement = {200, 300};
    state.placement_flag = 1;
    editor.insert(ObjectKind::Vent);
    door.open({ObjectKind::Vent, 0, 0});
    auto* vent = qobject_cast<VentDialog*>(door.dialog(ObjectKind::Vent));
    vent->findChild<QWidget*>(QStringLiteral("Vent_Picture_9"))->setFocus();
    QTest::mouseClick(vent->findChild<QWidget*>(QStringLiteral("Vent_Picture_9")), Qt::LeftButton);
    (void)QTest::qWaitForWindowExposed(vent);
    ok = save(*vent, out.filePath(QStringLiteral("dialog_Vent.png"))) && ok;
    QTest::mouseDClick(vent->findChild<QWidget*>(QStringLiteral("Vent_Picture_22")), Qt::LeftButton);
    (void)QTest::qWaitForWindowExposed(vent->animation());
    ok = save(*vent->animation(), out.filePath(QStringLiteral("dialog_MECHANIZMf.png"))) && ok;
    vent->close();

    // The figure, text, graph, control, menu and go-to dialogs.
    const ObjectKind others[] = {
        ObjectKind::Figura, ObjectKind::Text, ObjectKind::Grafik,
        ObjectKind::Control, ObjectKind::Menu, ObjectKind::GoBlock,
    };
    for (const ObjectKind kind : others) {
        ElementRef ref{kind, 0, 1};
        if (!isOccupied(ws->pages, ref)) {
            editor.insert(kind);
            if (kind != ObjectKind::Grafik)
                ref.number = 0;
        }
        door.open(ref);
        QWidget* d = door.dialog(kind);
        (void)QTest::qWaitForWindowExposed(d);
        ok = save(*d, out.filePath(QStringLiteral("dialog_%1.png").arg(d->objectName()))) && ok;
        if (auto* control = qobject_cast<ControlDialog*>(d)) {
            QTest::mouseClick(control->findChild<QWidget*>(QStringLiteral("Image_Control_Wiew")), Qt::LeftButton);
            (void)QTest::qWaitForWindowExposed(control->palette());
            ok = save(*control->palette(), out.filePath(QStringLiteral("dialog_Type_Control.png"))) && ok;
            control->palette()->close();
        }
        d->close();
    }
    return ok ? 0 : 1;
}
