<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="it_IT">
<context>
    <name>Halvora</name>
    <message>
        <source>Ora si chiama Orbelle</source>
        <translation>It's now called Orbelle</translation>
    </message>
    <message>
        <source>Prima era Halvora</source>
        <translation>It used to be Halvora</translation>
    </message>
    <message>
        <source>Doppione cestinato</source>
        <translation>Duplicate moved to the trash</translation>
    </message>
    <message>
        <source>Hai due copie</source>
        <translation>You have two copies</translation>
    </message>
    <message>
        <source>Cestina la più vecchia</source>
        <translation>Move the older one to the trash</translation>
    </message>
</context>
<context>
    <name>InstallazioneCardView</name>
    <message>
        <source>Installami in Applicazioni</source>
        <translation>Install me in ~/Applications</translation>
    </message>
    <message>
        <source>Installazione in corso…</source>
        <translation>Installing…</translation>
    </message>
    <message>
        <source>Fatto: sono in Applicazioni</source>
        <translation>Done: I'm in ~/Applications</translation>
    </message>
    <message>
        <source>Trascinami tu nella cartella</source>
        <translation>Drag me into the folder yourself</translation>
    </message>
    <message>
        <source>L'AVVIO AL LOGIN NON FUNZIONA DA QUI</source>
        <translation>LAUNCH AT LOGIN DOESN'T WORK FROM HERE</translation>
    </message>
    <message>
        <source>APRIMI DA LI' PER FINIRE</source>
        <translation>OPEN ME FROM THERE TO FINISH</translation>
    </message>
    <message>
        <source>TE LA MOSTRO NEL FINDER</source>
        <translation>I'LL SHOW IT IN THE FILE MANAGER</translation>
    </message>
    <message>
        <source>Installa</source>
        <translation>Install</translation>
    </message>
    <message>
        <source>Apri</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Mostra</source>
        <translation>Show</translation>
    </message>
    <message>
        <source>Copiami in Applicazioni e riavviami da li'</source>
        <translation>Copy me to ~/Applications and restart me from there</translation>
    </message>
    <message>
        <source>Apri la copia installata in Applicazioni</source>
        <translation>Open the copy installed in ~/Applications</translation>
    </message>
    <message>
        <source>Nascondi fino al prossimo avvio</source>
        <translation>Hide until the next launch</translation>
    </message>
</context>
</TS>
