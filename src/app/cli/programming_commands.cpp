// The panel programming commands:
//   read-programming --customer ID [--out FILE.zrv]
//   write-programming --customer ID [--template FILE.zrv] [--sections zonas,tempos,...]
//                     [--keep-trying] [--callback]
//   programming export --customer ID --out FILE.zrv
//   programming import --customer ID --template FILE.zrv
// The first two connect to the customer's panel as the customer screen does, print the connection steps
// and the system's messages, read the whole programming and hang up; the write sends what differs
// from the template (or, with --sections alone, from the customer's stored programming) in between,
// only the sections named when --sections is given. Exit code 0 only when the panel's programming was read
// (and every block written reads back equal). Export and import work on the database alone: the customer's
// stored programming as a template file, and a template stored as the customer's programming.
#include "app/cli/cli_command.h"
#include "app/cli/cli_json.h"
#include "app/cli/cli_panel_session.h"
#include "app/cli/section_names.h"
#include "base/whole_file.h"
#include "programming/image_layout.h"
#include "programming/programming_images.h"
#include "programming/template_file.h"
#include "programming/write_content.h"
#include "session/online_worker.h"
#include "session/operation_audit.h"
#include "store/data_module.h"
#include "workspace/customer_record.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <bit>

namespace {

// A block that does not read back equal is written again this many times before the command gives
// it up (the desktop repeats until the operator presses "Cancelar").
constexpr int VerifyRounds = 5;

QString hexLines(const QByteArray& image) {
    QString text;
    for (int i = 0; i < image.size(); i += 16)
        text += image.mid(i, 16).toHex(' ').toUpper() + QLatin1Char('\n');
    return text;
}

bool writeFile(CliContext& context, const QString& path, const QByteArray& bytes) {
    QString error;
    if (!WriteWholeFile(path, bytes, &error)) {
        context.Complain(error);
        return false;
    }
    return true;
}

int RunReadProgramming(CliContext& context, const QStringList& args) {
    CliPanelOptions options;
    if (!TakePanelOptions(context, args,
                          {QStringLiteral("out"), QStringLiteral("keep-trying"), QStringLiteral("callback")},
                          &options))
        return 2;
    CliPanelSession session(context);
    if (!session.ConnectAndRead(options.customerId, options.keepTrying, options.callback))
        return 1;
    // Taken before the hang-up, which clears the panel's copy.
    const QByteArray image = session.Images().ImagemAlarme.bytes();
    session.HangUp();
    QJsonObject record{{QStringLiteral("customer"), options.customerId},
                       {QStringLiteral("bytes"), int(image.size())},
                       {QStringLiteral("file"), QJsonValue::Null},
                       {QStringLiteral("image"), QJsonValue::Null}};
    if (options.out.isEmpty()) {
        record.insert(QStringLiteral("image"), QString::fromLatin1(image.toHex().toUpper()));
        if (context.json)
            CliJson::WriteLine(context.out, CliJson::Record(QStringLiteral("programming_read"), record));
        else
            context.out << hexLines(image);
        return 0;
    }
    if (!writeFile(context, options.out, image))
        return 1;
    record.insert(QStringLiteral("file"), QFileInfo(options.out).absoluteFilePath());
    context.Report(QStringLiteral("Programação gravada em %1 (%2 bytes).")
                       .arg(QDir::toNativeSeparators(options.out))
                       .arg(image.size()),
                   CliJson::Record(QStringLiteral("programming_read"), record));
    return 0;
}

QString outcomeText(const TransferReport& report) {
    switch (report.outcome) {
    case TransferReport::Outcome::Completed:
        return QString();
    case TransferReport::Outcome::Refused:
        return QStringLiteral("O painel recusou a programação do bloco %1.").arg(report.failedBlock);
    case TransferReport::Outcome::NotVerified:
        return QStringLiteral("O bloco %1 não ficou igual no painel depois de %2 tentativas.")
            .arg(report.failedBlock)
            .arg(VerifyRounds);
    case TransferReport::Outcome::Cancelled:
        return QStringLiteral("A programação foi cancelada.");
    case TransferReport::Outcome::Disconnected:
        return QStringLiteral("A conexão terminou antes do fim da programação.");
    }
    return QString();
}

QString templateProblem(const QString& path, const TemplateFile& templ, int imageSize) {
    const QString name = QDir::toNativeSeparators(path);
    switch (templ.status) {
    case TemplateStatus::Missing:
        return QStringLiteral("O arquivo %1 não foi encontrado.").arg(name);
    case TemplateStatus::Unreadable:
        return QStringLiteral("Não foi possível abrir o arquivo %1.\r%2").arg(name, templ.error);
    case TemplateStatus::WrongForm:
    case TemplateStatus::Loaded:
        break;
    }
    return QStringLiteral("O arquivo %1 não contém uma programação deste painel (%2 bytes).")
        .arg(name)
        .arg(imageSize);
}

int RunWriteProgramming(CliContext& context, const QStringList& args) {
    CliPanelOptions options;
    if (!TakePanelOptions(context, args,
                          {QStringLiteral("template"), QStringLiteral("sections"),
                           QStringLiteral("keep-trying"), QStringLiteral("callback")},
                          &options))
        return 2;
    // Every section of the editor unless --sections names some.
    QList<ProgSection> sections(std::begin(kSectionLoadOrder), std::end(kSectionLoadOrder));
    if (options.sections) {
        QString error;
        if (!ParseCliSections(*options.sections, &sections, &error))
            return context.WrongUse(error);
    } else if (options.templatePath.isEmpty()) {
        return context.WrongUse(QStringLiteral("Informe o arquivo de programação: --template ARQUIVO.zrv"));
    }
    CliPanelSession session(context);
    if (!session.Open(options.customerId))
        return 1;
    ProgrammingImages& images = session.Images();
    // The template is read before anything is dialled: a file that cannot fill the image ends here.
    // Without one, what is sent is the customer's stored programming.
    TemplateFile templ;
    if (!options.templatePath.isEmpty()) {
        templ = ReadTemplateFile(options.templatePath, images.family());
        if (templ.status != TemplateStatus::Loaded) {
            context.Complain(templateProblem(options.templatePath, templ, images.ImagemPC.size()));
            return 1;
        }
    }
    if (!session.ConnectAndRead(options.customerId, options.keepTrying, options.callback))
        return 1;
    if (!options.templatePath.isEmpty())
        images.ImagemPC.setBytes(templ.image);

    // The differing chunks of each section sent. Sections share blocks, and a section's marking
    // clears the masks of its blocks first: each is marked on its own and the marks are added up.
    // Only the sections' own bytes go from the PC's image; the other bytes of their chunks go as
    // the panel holds them. The panel and PC codes are not among them: they stay what the
    // customer's record says, or the next connection would fail.
    ChunkMarks marks;
    for (ProgSection section : sections) {
        ChunkMarks one;
        images.markSection(section, one);
        marks.Blocks |= one.Blocks;
        for (int b = 0; b < kMaxBlocks; ++b)
            marks.Chunks[b] |= one.Chunks[b];
        marks.Content.add(one.Content);
    }
    if (!marks.needsWriting()) {
        context.Report(sections.size() == 1 ? SectionEqualMessage(sections.first())
                                            : WholeSendEqualMessage(images.family()),
                       CliJson::Record(QStringLiteral("programming_written"),
                                       {{QStringLiteral("customer"), options.customerId},
                                        {QStringLiteral("complete"), true},
                                        {QStringLiteral("unchanged"), true},
                                        {QStringLiteral("blocks"), 0},
                                        {QStringLiteral("frames_planned"), 0},
                                        {QStringLiteral("errors"), 0}}));
        session.HangUp();
        return 0;
    }

    // A change of a PGM's mode or of the PGM module goes through the PGM change procedure, as
    // the editors send it: the outputs concerned are switched off first. Only bytes that are sent
    // count.
    const PgmBytesChange pgm = PgmChangeOf(marks.Content, images.ImagemPC, images.ImagemAlarme);
    const bool pgmChange = pgm.any();
    const quint8 changedPgms = pgm.changedPgms;
    const bool moduleChanged = pgm.moduleChanged;

    const QList<TransferReport> reports =
        session.Write(marks, pgmChange, changedPgms, moduleChanged, VerifyRounds);
    QStringList what;
    if (!options.templatePath.isEmpty())
        what.append(QFileInfo(options.templatePath).fileName());
    if (options.sections) {
        QStringList captions;
        for (ProgSection section : sections)
            captions.append(SectionCaption(section));
        what.append(captions.join(QStringLiteral(", ")));
    }
    // Recorded once the write is over, with what became of it.
    what.append(TransferAuditText(reports));
    session.Audit(AuditAction::WriteProgramming, what.join(QStringLiteral(": ")));
    bool ok = !reports.isEmpty();
    // A block written more than once (the PGM change procedure writes some twice) counts once.
    quint32 blocks = 0;
    quint32 planned = 0;
    quint32 errors = 0;
    for (const TransferReport& report : reports) {
        if (!report.succeeded()) {
            ok = false;
            context.Complain(outcomeText(report));
        }
        blocks |= report.done;
        planned += report.framesPlanned;
        errors += report.errorCount;
    }
    context.Say(QStringLiteral("Eficiência: %1").arg(OnLine::EfficiencyText(planned, errors)));
    session.HangUp();
    const QJsonObject record = CliJson::Record(QStringLiteral("programming_written"),
                                               {{QStringLiteral("customer"), options.customerId},
                                                {QStringLiteral("complete"), ok},
                                                {QStringLiteral("unchanged"), false},
                                                {QStringLiteral("blocks"), std::popcount(blocks)},
                                                {QStringLiteral("frames_planned"), qint64(planned)},
                                                {QStringLiteral("errors"), qint64(errors)}});
    if (!ok) {
        if (context.json)
            CliJson::WriteLine(context.out, record);
        context.Complain(QStringLiteral("A programação do painel não foi concluída."));
        return 1;
    }
    context.Report(QStringLiteral("Programação enviada e conferida: %1 blocos.").arg(std::popcount(blocks)),
                   record);
    return 0;
}

// Opens the database and the stored customer for export and import.
bool OpenStoredCustomer(CliContext& context, TdmBancoDeDados& dm, CustomerRecord& record, int customerId) {
    if (!dm.Connect(context.databaseName)) {
        context.Complain(dm.LastError());
        return false;
    }
    if (!record.OpenExisting(customerId)) {
        context.Complain(record.LastError());
        return false;
    }
    return true;
}

int RunProgrammingExport(CliContext& context, const QStringList& args) {
    CliPanelOptions options;
    if (!TakePanelOptions(context, args, {QStringLiteral("out")}, &options))
        return 2;
    if (options.out.isEmpty())
        return context.WrongUse(QStringLiteral("Informe o arquivo a gravar: --out ARQUIVO.zrv"));
    TdmBancoDeDados dm;
    CustomerRecord record(dm);
    if (!OpenStoredCustomer(context, dm, record, options.customerId))
        return 1;
    // The plain form, as the template dialog writes it: the image's bytes and nothing else.
    const QByteArray image = record.Images().ImagemPC.bytes();
    record.Close();
    if (!writeFile(context, options.out, image))
        return 1;
    context.Report(QStringLiteral("Programação do cliente %1 gravada em %2 (%3 bytes).")
                       .arg(options.customerId)
                       .arg(QDir::toNativeSeparators(options.out))
                       .arg(image.size()),
                   CliJson::Record(QStringLiteral("template_exported"),
                                   {{QStringLiteral("customer"), options.customerId},
                                    {QStringLiteral("file"), QFileInfo(options.out).absoluteFilePath()},
                                    {QStringLiteral("bytes"), int(image.size())}}));
    return 0;
}

int RunProgrammingImport(CliContext& context, const QStringList& args) {
    CliPanelOptions options;
    if (!TakePanelOptions(context, args, {QStringLiteral("template")}, &options))
        return 2;
    if (options.templatePath.isEmpty())
        return context.WrongUse(QStringLiteral("Informe o arquivo de programação: --template ARQUIVO.zrv"));
    TdmBancoDeDados dm;
    CustomerRecord record(dm);
    if (!OpenStoredCustomer(context, dm, record, options.customerId))
        return 1;
    ProgrammingImages& images = record.Images();
    const TemplateFile templ = ReadTemplateFile(options.templatePath, images.family());
    if (templ.status != TemplateStatus::Loaded) {
        context.Complain(templateProblem(options.templatePath, templ, images.ImagemPC.size()));
        record.Close();
        return 1;
    }
    // As loading the template in the programming window and saving: the whole image is the
    // template's, while the panel and PC codes stay the customer's.
    record.LoadTemplateImage(templ.image);
    QString error;
    if (!record.Save(&error)) {
        context.Complain(error);
        record.Discard();
        record.Close();
        return 1;
    }
    record.Close();
    context.Report(
        QStringLiteral("Programação de %1 gravada no cliente %2.")
            .arg(QDir::toNativeSeparators(options.templatePath))
            .arg(options.customerId),
        CliJson::Record(QStringLiteral("template_imported"),
                        {{QStringLiteral("customer"), options.customerId},
                         {QStringLiteral("file"), QFileInfo(options.templatePath).absoluteFilePath()}}));
    return 0;
}

const bool registered =
    RegisterCliCommand({{QStringLiteral("read-programming")},
                        QStringLiteral("--customer ID [--out ARQUIVO.zrv] [--keep-trying] [--callback]"),
                        QStringLiteral("Conecta ao painel do cliente e lê toda a programação"),
                        &RunReadProgramming,
                        [](const QStringList&) { return CliAccess::Needs({Permission::Conectar}); }}) &&
    RegisterCliCommand(
        {{QStringLiteral("write-programming")},
         QStringLiteral("--customer ID [--template ARQUIVO.zrv] [--sections zonas,usuarios,tempos,"
                        "comunicacao,opcoes,pgms,reporte] [--keep-trying] [--callback]"),
         QStringLiteral("Conecta ao painel e envia o que difere do modelo (ou, só com --sections, da "
                        "programação guardada do cliente), conferindo cada bloco"),
         &RunWriteProgramming,
         [](const QStringList&) {
             return CliAccess::Needs({Permission::Conectar, Permission::EnviarProgramacao});
         }}) &&
    // A template holds the panel's user codes: exporting one shows them, importing one changes them.
    RegisterCliCommand({{QStringLiteral("programming"), QStringLiteral("export")},
                        QStringLiteral("--customer ID --out ARQUIVO.zrv"),
                        QStringLiteral("grava a programação guardada do cliente num arquivo de modelo"),
                        &RunProgrammingExport,
                        [](const QStringList&) {
                            return CliAccess::Needs({Permission::VisualizarCliente, Permission::Programar,
                                                     Permission::VerSenhasUsuarios});
                        }}) &&
    RegisterCliCommand({{QStringLiteral("programming"), QStringLiteral("import")},
                        QStringLiteral("--customer ID --template ARQUIVO.zrv"),
                        QStringLiteral("guarda um arquivo de modelo como a programação do cliente"),
                        &RunProgrammingImport,
                        [](const QStringList&) {
                            return CliAccess::Needs({Permission::VisualizarCliente, Permission::Programar,
                                                     Permission::AlterarSenhasUsuarios});
                        }});

} // namespace
