// A saved page reopened on the canvas: its layout record "dat", the canvas
// size file beside it and the slot records of the task, then saved again.
// Input: dat, canvas file, slot records (176 bytes each), as parts.

#include "fuzz_support.h"

#include "compose/compose_canvas.h"
#include "compose/template_body.h"

#include "common/atomic_file.h"

#include <array>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QList<QByteArray> parts = SplitInput(InputBytes(data, size), 3);
    ClearScratch(QStringLiteral("task"));
    const QString taskFile = ScratchPath(QStringLiteral("task/1.tx"));
    WriteScratch(QStringLiteral("task/data1/dat"), parts[0]);
    WriteScratch(QStringLiteral("task/data1/canvas"), parts[1]);

    std::array<SlotPlacement, CComposeCanvas::kSlots> placements;
    QByteArray records = parts[2].left(SlotPlacement::kSize * CComposeCanvas::kSlots);
    records.append(QByteArray(SlotPlacement::kSize * CComposeCanvas::kSlots - records.size(), 0));
    for (int i = 0; i < CComposeCanvas::kSlots; ++i)
        placements[i] = SlotPlacement::FromBytes(records.constData() + i * SlotPlacement::kSize);

    CComposeCanvas canvas;
    canvas.SetClientSize(QSize(240, 180));
    canvas.SetPlacements(placements);
    if (!canvas.LoadLayoutRecord(taskFile, QStringLiteral("1"), 600, 400))
        return 0;
    canvas.ClickSlot(0);
    canvas.NudgeRight(true);
    canvas.Enlarge(true, false);
    FuzzExpect(canvas.WriteLayoutRecord(taskFile, QStringLiteral("2")),
               "a reopened page to be saved again");
    QByteArray saved;
    LayoutRecord record;
    FuzzExpect(ReadWholeFile(ScratchPath(QStringLiteral("task/data2/dat")), saved) &&
                   ParseLayoutRecord(saved, record),
               "a saved layout record to read back whole");
    return 0;
}
