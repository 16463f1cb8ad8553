#include "cli/command.h"
#include "templates/template_packer.h"

namespace {

int RunPackTemplate(const QStringList& args) {
    if (args.size() != 2)
        return BadInput("pack-template", QStringLiteral("needs two arguments: DESC.json OUT.temp"));
    QString error;
    if (!PackTemplateFile(args[0], args[1], error))
        return BadInput("pack-template", error);
    return 0;
}

const CliCommandRegistrar registrar({
    "pack-template", "DESC.json OUT.temp",
    "Builds a template package from a JSON description (see README, \"Making templates\"); "
    "nothing is written when the JSON file or a file it names is refused",
    RunPackTemplate,
    false, // works on the named files only
});

} // namespace
