<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="it_IT">
<context>
    <name>Halvora</name>
    <message>
        <source>Benvenuto in Orbelle</source>
        <translation>Welcome to Orbelle</translation>
    </message>
    <message>
        <source>Passa il mouse sulla tacca per aprirla, allontanalo per chiuderla. In alto ci sono i moduli: te li presento uno alla volta.</source>
        <translation>Move the pointer onto the notch to open it and away to close it. The modules are at the top: I'll introduce them one at a time.</translation>
    </message>
    <message>
        <source>Vassoio</source>
        <translation>Tray</translation>
    </message>
    <message>
        <source>Trascina qui file, link e immagini per averli sempre a portata. Da qui fai anche screenshot e converti i file in PDF, JPEG o ZIP.</source>
        <translation>Drag files, links and images here to keep them close at hand. From here you can also take screenshots and convert files to PDF, JPEG or ZIP.</translation>
    </message>
    <message>
        <source>Appunti</source>
        <translation>Clipboard</translation>
    </message>
    <message>
        <source>Tutto quello che copi resta qui, pronto da incollare di nuovo. Le password copiate dai gestori di password non vengono salvate.</source>
        <translation>Everything you copy stays here, ready to paste again. Passwords copied from password managers are not saved.</translation>
    </message>
    <message>
        <source>Calendario</source>
        <translation>Calendar</translation>
    </message>
    <message>
        <source>I tuoi impegni di oggi e i promemoria, con l'ora esatta e le ripetizioni. Prima di una riunione la tacca te lo ricorda.</source>
        <translation>Today's events and your reminders, with the exact time and repeats. Before a meeting the notch reminds you.</translation>
    </message>
    <message>
        <source>Timer</source>
        <translation>Timer</translation>
    </message>
    <message>
        <source>Un timer per concentrarti a blocchi, con le pause, o uno libero della durata che vuoi. Il conto alla rovescia resta visibile a tacca chiusa.</source>
        <translation>A timer to focus in blocks, with breaks, or a free one as long as you like. The countdown stays visible with the notch closed.</translation>
    </message>
    <message>
        <source>Memo vocali</source>
        <translation>Voice memos</translation>
    </message>
    <message>
        <source>Registra un'idea al volo e ritrovala anche scritta: ogni memo viene trascritto.</source>
        <translation>Record an idea on the fly and find it written down too: every memo is transcribed.</translation>
    </message>
    <message>
        <source>Musica e video</source>
        <translation>Music and video</translation>
    </message>
    <message>
        <source>Controlla Spotify, Apple Music e i video nel browser. Con «Guarda nella tacca» un video di YouTube continua qui mentre lavori.</source>
        <translation>Control Spotify and the desktop's other players, and videos in the browser. With “Watch in the notch” a YouTube video keeps playing here while you work.</translation>
    </message>
    <message>
        <source>Specchio</source>
        <translation>Mirror</translation>
    </message>
    <message>
        <source>La fotocamera a portata di clic, per un'occhiata veloce prima di una videochiamata. Si spegne da sola quando chiudi la tacca.</source>
        <translation>The camera one click away, for a quick look before a video call. It turns itself off when you close the notch.</translation>
    </message>
    <message>
        <source>Sotto la tacca</source>
        <translation>Under the notch</translation>
    </message>
    <message>
        <source>Quando serve compare una scheda sotto la tacca chiusa: il brano in ascolto, il timer, il prossimo impegno, i file appena scaricati.</source>
        <translation>When needed, a card appears under the closed notch: the song playing, the timer, the next event, files just downloaded.</translation>
    </message>
    <message>
        <source>Claude e ChatGPT</source>
        <translation>Claude and ChatGPT</translation>
    </message>
    <message>
        <source>Vedi quanto ti resta della sessione nell'app che stai usando. Se attivi gli avvisi, la tacca ti dice quando hanno finito o quando ti aspettano.</source>
        <translation>See how much of your session is left in the app you are using. If you turn on notices, the notch tells you when they have finished or are waiting for you.</translation>
    </message>
    <message>
        <source>Impostazioni e pulsante rosso</source>
        <translation>Settings and the red button</translation>
    </message>
    <message>
        <source>Con l'ingranaggio scegli lingua, avvio al login e cosa mostrare sotto la tacca. Il pulsante rosso ferma tutto al volo: musica, fotocamera, registrazione e timer.</source>
        <translation>With the gear you choose the language, launch at login and what to show under the notch. The red button stops everything at once: music, camera, recording and timer.</translation>
    </message>
    <message>
        <source>Salta</source>
        <translation>Skip</translation>
    </message>
    <message>
        <source>Indietro</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>Avanti</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>Inizia</source>
        <translation>Get started</translation>
    </message>
    <message>
        <source>Copia per Claude Code</source>
        <translation>Copy for Claude Code</translation>
    </message>
    <message>
        <source>Copia per ChatGPT</source>
        <translation>Copy for ChatGPT</translation>
    </message>
    <message>
        <source>Copiato</source>
        <translation>Copied</translation>
    </message>
    <message>
        <source>Copia il messaggio e incollalo nell'app. ChatGPT poi chiede di approvarlo con /hooks.</source>
        <translation>Copy the message and paste it into the app. ChatGPT then asks you to approve it with /hooks.</translation>
    </message>
</context>
</TS>
