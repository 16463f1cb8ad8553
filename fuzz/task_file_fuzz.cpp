// A customer task file "1.tx": loaded, written back and loaded again. What
// a load makes of any file must come back unchanged through a save (a phone
// field without its closing NUL is cut to fit once, on the first save).

#include "fuzz_support.h"

#include "records/customer_task.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = WriteScratch(QStringLiteral("task/1.tx"), InputBytes(data, size));
    CustomerTask task;
    FuzzExpect(task.Load(path), "any task file to load");
    const QByteArray written = task.ToBytes();
    for (const auto& page : task.pages)
        page->Name();
    FuzzExpect(task.Save(), "a loaded task to save");
    CustomerTask again;
    FuzzExpect(again.Load(path), "a saved task to load");
    FuzzExpect(again.PageCount() == task.PageCount(), "a saved task to keep its pages");
    FuzzExpect(again.ToBytes() == written, "a saved task to load to the same bytes");
    return 0;
}
