#include "help/manuals.h"

#include "ui/language.h"

namespace quelvex {
namespace {

// Sized to stay on one line in the help window's editors.
const std::string kRule(60, '_');

std::string heading(const std::string& title) {
    std::size_t letters = 0; // UTF-8: every byte but the continuation bytes starts a letter
    for (unsigned char c : title)
        letters += (c & 0xC0) != 0x80;
    return "\n_____ " + title + " " + std::string(53 - letters, '_') + "\n\n";
}

std::string header(const std::string& product) {
    return kRule + "\n\n   " + product + "\n   " + siteName() + "\n" + kRule + "\n\n";
}

std::string closing() {
    return "\n" + kRule + "\n\n   Quelvex 5.0   \xE2\x80\x94   " + siteName() + "\n" + kRule + "\n";
}

} // namespace

std::string englishManual() {
    return header("QUELVEX 5.0  \xC2\xB7  USER MANUAL") +
           "Quelvex switches off your computer and its monitor at the very moment you choose, closing "
           "every program on the way. That moment can lie up to 99 hours, 59 minutes and 59 seconds "
           "ahead: a little over four days (4 days and 4 hours, give or take a second).\n\n"
           "Some ideas: leave a long download running from Friday evening until Sunday and let Quelvex "
           "turn the lights out once it is done; or fall asleep in front of a film on your TV card, "
           "knowing the computer will not hum away all night.\n\n"
           "Quelvex is also a fine alarm clock for appointments: set the alarm exactly the way you set a "
           "shutdown. And if you want a record of what happened on the screen, it takes full-screen "
           "pictures in JPEG format (about 130 KB each), as many as you like throughout the programmed "
           "time.\n" +
           heading("MAIN MENU") +
           "LANGUAGE: this button switches the whole program between Spanish and English (it always "
           "shows the word in the other language, so you can find your way back). This manual follows "
           "it; the choice at the top of this window changes only the manual.\n\n"
           "COUNTER MODE: two buttons choose how the time is counted.\n\n"
           "  SYSTEM TIME waits for a time of day, in the same format as your system clock (AM/PM or "
           "24 hours). Since it is a time of day, it is never more than 24 hours away.\n\n"
           "  PROGRAM COUNTER counts from 00:00:00 up to the time you programmed, at most 99h 59m 59s.\n\n"
           "RIGHT-HAND CLOCK: this is where you enter the time, with the arrow buttons above and below "
           "its hours, minutes and seconds. Hold a button down and the digits run by themselves.\n\n"
           "LEFT-HAND CLOCK: it shows the count as it progresses, and the status bar under it tells you "
           "at a glance whether Quelvex is at work (ENABLED) or resting (DISABLED).\n" +
           heading("BUTTONS") +
           "START begins the count. The time buttons are locked from then on, so nothing changes by "
           "accident, until you cancel the count.\n\n"
           "STOP pauses. In program-counter mode the count stops where it is, and START carries on from "
           "there. In system-time mode the wait ends and the time buttons unlock, ready for another "
           "time.\n\n"
           "RESET starts afresh. In program-counter mode both clocks go back to 00:00:00. In "
           "system-time mode the count is cancelled, but the time you entered stays.\n" +
           heading("OPTIONS MENU") +
           "The arrow button at the bottom of the window opens the options panel, and the arrow on the "
           "panel folds it away again. The link \"Show options\" in the black bar under the clocks "
           "opens it too; that bar is there while the Quelvex update page is not shown in its place, "
           "which it is once the computer is online and the page has loaded.\n\n"
           "The display on the left shows the size and the free space, in kilobytes, of the disk that "
           "holds the folder Quelvex was started from, and whether shutdown, capture and alarm are "
           "switched on. Click an icon in the display (plug, camera or bell) to switch its option on or "
           "off; the two disk lines are there just to be read.\n\n"
           "On the right, each lamp switches one option:\n\n"
           "SHUT DOWN THE COMPUTER: when the count ends, all open programs are closed and the computer "
           "and the monitor are switched off. Save your work before you leave!\n\n"
           "Click this caption (or reach it with the Tab key and press Space, or the arrow keys) to "
           "choose what happens instead; a small arrow beside it shows it can be chosen. Only what your "
           "computer allows is offered:\n\n"
           "  RESTART THE COMPUTER closes every program and starts the computer again: handy after an "
           "update that waits for a restart.\n"
           "  SUSPEND THE COMPUTER puts it to sleep, and HIBERNATE THE COMPUTER saves everything to "
           "disk and switches off; both bring your programs back as they were. Quelvex keeps running, "
           "and when you come back the count shows it has ended, ready for the next one.\n"
           "  LOG OUT closes every program and ends your session, leaving the computer on.\n"
           "  LOCK THE SCREEN locks it behind your password and leaves everything running.\n\n"
           "The choice lasts until Quelvex is closed, like every option, and the status line on the "
           "left and the warning a minute before the end name it. The lamp still switches it on and "
           "off. From a launcher, --action restart (or poweroff, suspend, hibernate, logout, lock) "
           "chooses it.\n\n"
           "SOUND THE ALARM: when the count ends, the alarm sounds, and it keeps sounding until you "
           "press STOP or RESET or choose a counter mode; there is no time limit, so it will not give up "
           "on a heavy sleeper. The sound is the file ALARM.WAV: yours if you put one in your own data "
           "folder (~/.local/share/quelvex/ALARM.WAV), otherwise the one in the program's own folder, "
           "the one that holds the Quelvex program file. Any 16-bit PCM WAV file will do; should it "
           "be missing or unplayable, a built-in tone sounds instead.\n\n"
           "CAPTURE THE SCREEN: when the count ends, a picture of the whole screen is saved.\n\n"
           "HIDE THIS PROGRAM WHEN CAPTURING: Quelvex steps out of the picture while it is taken.\n\n"
           "CAPTURE EVERY... (minutes): with CAPTURE THE SCREEN on as well, a picture is also taken every so "
           "many minutes throughout the count. Switch its lamp on first, then set the minutes with the - "
           "and + buttons: while the lamp is off, they only put the minutes back to 000.\n\n"
           "The captures are JPEG files saved in the folder Quelvex was started from (its working "
           "folder), named with \"Quelvex ScreenCAP\" followed by the time and the date: a capture taken "
           "at 9:05 on 6 December 2026 is \"Quelvex ScreenCAP 9.5 6-12-2026.jpg\". A second capture in "
           "the same minute replaces the first. On Windows, started from the Start menu, or from its "
           "own folder where you cannot write, Quelvex works in your Pictures folder instead, and the "
           "captures go there.\n" +
           closing();
}

std::string spanishManual() {
    return header("QUELVEX 5.0  \xC2\xB7  MANUAL DE USO") +
           "Quelvex apaga el ordenador y el monitor en el momento exacto que usted elija, cerrando "
           "antes todos los programas. Ese momento puede estar hasta 99 horas, 59 minutos y 59 segundos "
           "por delante: algo más de cuatro días (4 días y 4 horas, segundo arriba o abajo).\n\n"
           "Algunas ideas: deje una descarga larga en marcha desde el viernes por la tarde hasta el "
           "domingo y que Quelvex apague las luces cuando termine; o quédese dormido delante de una "
           "película en su tarjeta de TV sabiendo que el ordenador no pasará la noche zumbando.\n\n"
           "Quelvex es también un buen despertador para sus citas: la alarma se programa exactamente "
           "igual que el apagado. Y si quiere guardar constancia de lo que ocurre en la pantalla, toma "
           "capturas de pantalla completa en formato JPEG (unos 130 KB cada una), tantas como quiera a "
           "lo largo del tiempo programado.\n" +
           heading("EL MENÚ PRINCIPAL") +
           "IDIOMA: este botón cambia todo el programa entre español e inglés (siempre muestra la "
           "palabra en el otro idioma, para que sepa volver). Este manual lo sigue; la elección de la "
           "parte superior de esta ventana cambia solo el manual.\n\n"
           "MODO DE CONTADOR: dos botones eligen cómo se cuenta el tiempo.\n\n"
           "  HORA DEL SISTEMA espera a una hora del día, en el mismo formato que el reloj de su "
           "sistema (AM/PM o 24 horas). Como es una hora del día, nunca queda a más de 24 horas.\n\n"
           "  CONTADOR DEL PROGRAMA cuenta desde 00:00:00 hasta el tiempo programado, como mucho "
           "99h 59m 59s.\n\n"
           "RELOJ DE LA DERECHA: aquí se introduce el tiempo, con los botones de flecha situados encima "
           "y debajo de las horas, los minutos y los segundos. Si mantiene pulsado un botón, las cifras "
           "corren solas.\n\n"
           "RELOJ DE LA IZQUIERDA: muestra la cuenta según avanza, y la barra de estado que tiene debajo "
           "le dice de un vistazo si Quelvex está trabajando (ACTIVO) o descansando (INACTIVO).\n" +
           heading("BOTONES") +
           "INICIAR pone en marcha la cuenta. Desde ese momento los botones del tiempo quedan "
           "bloqueados, para que nada cambie por descuido, hasta que cancele la cuenta.\n\n"
           "PARAR hace una pausa. En el modo contador del programa la cuenta se detiene donde está, e "
           "INICIAR la reanuda desde ahí. En el modo hora del sistema la espera termina y los botones "
           "del tiempo se desbloquean, listos para otra hora.\n\n"
           "RESET vuelve a empezar. En el modo contador del programa los dos relojes vuelven a "
           "00:00:00. En el modo hora del sistema la cuenta se cancela, pero la hora introducida se "
           "conserva.\n" +
           heading("LAS OPCIONES") +
           "El botón de flecha de la parte inferior de la ventana abre el panel de opciones, y la flecha "
           "del panel lo vuelve a recoger. También lo abre el enlace \"Mostrar opciones\" de la barra "
           "negra bajo los relojes; esa barra está ahí mientras en su lugar no se muestre la página de "
           "actualizaciones de Quelvex, que aparece cuando el ordenador está conectado y la página ha "
           "cargado.\n\n"
           "La pantalla de la izquierda muestra el tamaño y el espacio libre, en kilobytes, del disco "
           "que contiene la carpeta desde la que se inició Quelvex, y si el apagado, la captura y la "
           "alarma están activados. Pulse un icono de la pantalla (enchufe, cámara o campana) para "
           "activar o desactivar su opción; las dos líneas del disco son solo informativas.\n\n"
           "A la derecha, cada piloto activa una opción:\n\n"
           "APAGAR EL ORDENADOR: al terminar la cuenta se cierran todos los programas abiertos y se "
           "apagan el ordenador y el monitor. ¡Guarde su trabajo antes de marcharse!\n\n"
           "Pulse este rótulo (o llegue a él con la tecla Tab y pulse Espacio, o las flechas) para "
           "elegir qué ocurre en su lugar; una pequeña flecha a su lado indica que se puede elegir. Solo "
           "se ofrece lo que su equipo permite:\n\n"
           "  REINICIAR EL EQUIPO cierra todos los programas y vuelve a arrancar el equipo: útil tras "
           "una actualización que espera un reinicio.\n"
           "  SUSPENDER EL EQUIPO lo deja en reposo, e HIBERNAR EL EQUIPO guarda todo en el disco y lo "
           "apaga; los dos le devuelven sus programas tal como estaban. Quelvex sigue en marcha y, "
           "cuando usted vuelva, la cuenta aparece terminada, lista para la siguiente.\n"
           "  CERRAR LA SESIÓN cierra todos los programas y termina su sesión, con el equipo encendido.\n"
           "  BLOQUEAR LA PANTALLA la bloquea tras su contraseña y deja todo en marcha.\n\n"
           "La elección dura hasta que se cierra Quelvex, como todas las opciones, y la línea de estado "
           "de la izquierda y el aviso de un minuto antes del final la nombran. El piloto la sigue "
           "activando y desactivando. Desde un lanzador, --action restart (o poweroff, suspend, "
           "hibernate, logout, lock) la elige.\n\n"
           "AVISAR CON ALARMA: al terminar la cuenta suena la alarma, y sigue sonando hasta que pulse "
           "PARAR o RESET o elija un modo de contador; no tiene límite de tiempo, así que no se rinde "
           "ni con el sueño más profundo. El sonido es el archivo ALARM.WAV: el suyo si lo pone en su "
           "propia carpeta de datos (~/.local/share/quelvex/ALARM.WAV); si no, el de la carpeta del "
           "propio programa, la que contiene el archivo del programa Quelvex. Sirve cualquier archivo "
           "WAV PCM de 16 bits; si faltara o no se pudiera reproducir, suena en su lugar un tono "
           "incorporado.\n\n"
           "CAPTURAR PANTALLA: al terminar la cuenta se guarda una imagen de toda la pantalla.\n\n"
           "OCULTAR ESTE PROGRAMA AL CAPTURAR: Quelvex se aparta mientras se toma la imagen.\n\n"
           "CAPTURAR CADA... (minutos): con CAPTURAR PANTALLA también activado, se toma además una imagen "
           "cada tantos minutos durante toda la cuenta. Encienda antes su piloto y ajuste luego los minutos "
           "con los botones - y +: con el piloto apagado, solo devuelven los minutos a 000.\n\n"
           "Las capturas son archivos JPEG que se guardan en la carpeta desde la que se inició Quelvex "
           "(su carpeta de trabajo), con el nombre \"Quelvex ScreenCAP\" seguido de la hora y la fecha: "
           "una captura tomada a las 9:05 del 6 de diciembre de 2026 se llama \"Quelvex ScreenCAP 9.5 "
           "6-12-2026.jpg\". Una segunda captura en el mismo minuto sustituye a la primera. En Windows, "
           "iniciado desde el menú Inicio, o desde su propia carpeta si usted no puede escribir en "
           "ella, Quelvex trabaja en su carpeta Imágenes, y allí van las capturas.\n" +
           closing();
}

} // namespace quelvex
