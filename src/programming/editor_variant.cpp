#include "programming/editor_variant.h"

#include "programming/image_layout.h"

namespace {

bool OneOf(const QString& version, std::initializer_list<const char*> versions) {
    for (const char* v : versions) {
        if (version == QLatin1String(v))
            return true;
    }
    return false;
}

const OptionLabels kEnable{QStringLiteral("Habilita"), QStringLiteral("Desabilita")};
const OptionLabels kArmDisarm{QStringLiteral("Não"), QStringLiteral("Sim")};
const OptionLabels kRestore{QStringLiteral("terminar sirene"), QStringLiteral("fechar zona")};
const OptionLabels kTone{QStringLiteral("Tom"), QStringLiteral("Pulso")};
const OptionLabels kPgmUnit{QStringLiteral("minutos"), QStringLiteral("segundos")};

QString ExitBeepCaption(bool entryToo) {
    return entryToo ? QStringLiteral("Bipe no teclado ao contar tempo de entrada e saída")
                    : QStringLiteral("Bipe no teclado ao contar tempo de saída");
}

QVector<EditorOption> TenZoneOptions(const EditorVariant& v) {
    const bool p34 = v.productCode == 3 || v.productCode == 4;
    const bool entryBeep = p34 || OneOf(v.version, {"1.2", "1.3", "1.4"});
    QVector<EditorOption> o{
        {0x02, QStringLiteral("Modo discadora"), {}},
        {0x03, QStringLiteral("Particionada"), {}},
        {0x04, QStringLiteral("Discagem por"), kTone},
        {0x05, QStringLiteral("Auto-arme"), kEnable},
        {0x06, QStringLiteral("Zonas sem resistor de fim de linha"), {}},
        {0x07, QStringLiteral("Bipe de problema no teclado"), {}},
        {0x10, QStringLiteral("Comunicação com PC somente via callback"), {}},
        {0x11, QStringLiteral("Habilita trava teclado"), {}},
        {0x12, QStringLiteral("Fazer autoteste somente quando o painel estiver armado"), {}},
        {0x13, QStringLiteral("Bipe na sirene ao armar/desarmar"), {}},
        {0x14,
         p34 ? QStringLiteral("Detectar Tom de linha antes de discar")
             : QStringLiteral("Habilita acesso via telefone"),
         {}},
        {0x15, QStringLiteral("Habilita monitoramento da linha telefônica"), {}},
        {0x16, QStringLiteral("Habilita envio automático de buffer após 90% cheio"), {}},
        {0x17, QStringLiteral("Habilita report de alteração na programação"), {}},
        {0x20, ExitBeepCaption(entryBeep), {}},
        {0x21, QStringLiteral("Disparar sirene com curto na zona com painel desarmado"), {}},
        {0x22, QStringLiteral("Módulo PGM"), kEnable},
        {0x23, QStringLiteral("Tempo de PGM em"), kPgmUnit},
        {0x24, QStringLiteral("Reporta ativou/desativou PGM 1"), kEnable},
        {0x25,
         p34 ? QStringLiteral("Disparar sirene no problema de linha telefônica")
             : QStringLiteral("Zona 8 para controle remoto"),
         {}},
        {0x26, QStringLiteral("Supervisiona zona de teclado 9"), {}},
        {0x27, QStringLiteral("Supervisiona zona de teclado 10"), {}},
        {0x30, QStringLiteral("Habilita pânico (1+3)"), {}},
    };
    if (v.oldPanicOptions) {
        o.append({0x31, QStringLiteral("Habilita emergência médica (4+6)"), {}});
        o.append({0x32, QStringLiteral("Habilita incêndio (7+9)"), {}});
        o.append({0x33, QStringLiteral("Habilita pedido de manutenção (* + #)"), {}});
    } else {
        o.append({0x31, QStringLiteral("Habilita emergência médica (4+6) e incêndio (7+9)"), {}});
        o.append({0x32, QStringLiteral("Habilita pedido de manutenção (* + #)"), {}});
        if (v.armDisarmReport)
            o.append({0x33, QStringLiteral("Enviar arme/desarme para o monitoramento"), kArmDisarm});
    }
    o.append({0x34, QStringLiteral("Pânico dispara sirene"), {}});
    o.append({0x35, QStringLiteral("Emergência médica dispara sirene"), {}});
    o.append({0x36, QStringLiteral("Incêndio dispara sirene"), {}});
    o.append({0x37, QStringLiteral("Restaura zona após:"), kRestore});
    return o;
}

QVector<EditorOption> FiveZoneOptions(const EditorVariant& v) {
    QVector<EditorOption> o{
        {0x02, QStringLiteral("Modo discadora"), {}},
        {0x03, QStringLiteral("Aguarda tom de linha antes de discar"), {}},
        {0x04, QStringLiteral("Discagem por"), kTone},
        {0x10, QStringLiteral("Comunicação com PC somente via callback"), {}},
        {0x11, QStringLiteral("Habilita trava de teclado"), {}},
        {0x12, QStringLiteral("Autoteste somente quando o painel estiver armado"), {}},
        {0x13, QStringLiteral("Bipe na sirene ao armar/desarmar"), {}},
        {0x14, QStringLiteral("Habilita envio automático de buffer após 90% cheio"), {}},
        {0x20, ExitBeepCaption(OneOf(v.version, {"1.3", "1.4", "1.5"})), {}},
        {0x21, QStringLiteral("Disparar sirene com curto na zona com painel desarmado"), {}},
        {0x22, QStringLiteral("Módulo PGM"), kEnable},
        {0x23, QStringLiteral("Tempo de PGM em"), kPgmUnit},
        {0x24,
         QStringLiteral("Reporta ativou/desativou PGM 1"),
         {QStringLiteral("Habilitar"), QStringLiteral("Desabilitar")}},
        {0x30, QStringLiteral("Auto-arme"), kEnable},
        {0x31, QStringLiteral("Zonas sem resistor de fim de linha"), {}},
        {0x32, QStringLiteral("Bipe de problema no teclado"), {}},
        {0x33, QStringLiteral("Habilita report de alteração na programação"), {}},
        {0x34, QStringLiteral("Habilita função chime na zona de teclado"), {}},
        {0x40, QStringLiteral("Pânico dispara sirene"), {}},
        {0x41, QStringLiteral("Emergência médica dispara sirene"), {}},
        {0x42, QStringLiteral("Incêndio dispara sirene"), {}},
        {0x43, QStringLiteral("Zona 4 como entrada LIGA"), {}},
        {0x44, QStringLiteral("Supervisiona zona de teclado"), {}},
        {0x80, QStringLiteral("Habilita pânico (1 + 3)"), {}},
    };
    if (v.oldPanicOptions) {
        o.append({0x81, QStringLiteral("Habilita emergência médica (4 + 6)"), {}});
        o.append({0x82, QStringLiteral("Habilita incêndio (7 + 9)"), {}});
        o.append({0x83, QStringLiteral("Habilita pedido de manutenção (* + #)"), {}});
    } else {
        o.append({0x81, QStringLiteral("Habilita emergência médica (4+6) e incêndio (7+9)"), {}});
        o.append({0x82, QStringLiteral("Habilita pedido de manutenção (*+#)"), {}});
        o.append({0x83, QStringLiteral("Enviar arme/desarme para o monitoramento:"), kArmDisarm});
    }
    o.append({0x84, QStringLiteral("Restaura zona após:"), kRestore});
    return o;
}

} // namespace

EditorVariant EditorVariant::For(int productCode, const QString& storedVersion, bool orvan9Max) {
    EditorVariant v;
    v.productCode = productCode;
    v.version = storedVersion.trimmed().isEmpty() ? QStringLiteral("1.0") : storedVersion.trimmed();
    v.family = ImageFamilyOf(productCode);
    v.orvan9Max = orvan9Max;
    v.formatList = CommunicationFormatList(productCode, v.version);
    v.model = ModelOf(productCode, v.version);
    const QString digits = QStringLiteral("0123456789");
    const QString phone = QStringLiteral("0123456789#*,");
    if (v.family == ProductFamily::FiveZone) {
        v.oldPanicOptions = OneOf(v.version, {"1.0", "1.1"});
        v.armDisarmReport = !v.oldPanicOptions;
        v.autoTestText = OneOf(v.version, {"1.2", "1.3", "1.4", "1.5"});
        v.phoneCharacters = v.version == QLatin1String("1.5") ? phone : digits;
        v.phoneControlAttribute = false;
        v.modelName = ModelName(v.model);
        return v;
    }
    const bool p34 = productCode == 3 || productCode == 4;
    if (p34) {
        v.oldPanicOptions = false;
        v.armDisarmReport = false;
        v.autoTestText = true;
        v.noMovement = true;
        v.phoneControlAttribute = false;
        const bool digitsOnly = v.version == QLatin1String("1.0") && !orvan9Max;
        v.phoneCharacters = digitsOnly ? digits : phone;
        if (v.version == QLatin1String("1.0") && orvan9Max)
            v.model = ProductModel::Orvan9Max;
    } else {
        v.oldPanicOptions = v.version == QLatin1String("1.0");
        v.armDisarmReport = !v.oldPanicOptions;
        v.autoTestText = !v.oldPanicOptions;
        v.phoneCharacters = v.version == QLatin1String("1.4") ? phone : digits;
    }
    v.modelName = ModelName(v.model);
    return v;
}

QVector<EditorOption> EditorOptions(const EditorVariant& variant) {
    return variant.family == ProductFamily::FiveZone ? FiveZoneOptions(variant) : TenZoneOptions(variant);
}
