#include "link_control/link_settings.h"

#include "base/settings.h"
#include "serial/modem_commands.h"

LinkSettings LinkSettingsFrom(const Settings& settings) {
    LinkSettings link;
    link.Port = PortChoice{settings.ComPort, settings.Portas};
    link.Modem = settings.Modem;
    link.Connection.InitList = BuildModemInitList(settings, ModemInitWorker::Connection);
    link.Connection.DialCommand = DialCommand(settings);
    link.Connection.HabilitaPausa = settings.HabilitaPausa;
    link.Connection.Digito = settings.Digito;
    link.Connection.NAT = settings.NAT;
    link.CallBack.Rings = settings.NRings;
    link.CallBack.Pabx = settings.PABX == 1;
    link.ConfigModem.InitList = BuildModemInitList(settings, ModemInitWorker::Configuration);
    link.ConfigModem.NAT = settings.NAT;
    return link;
}
