<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES" sourcelanguage="it_IT">
<context>
    <name>Halvora</name>
    <message>
        <source>Ora si chiama Orbelle</source>
        <translation>Ahora se llama Orbelle</translation>
    </message>
    <message>
        <source>Prima era Halvora</source>
        <translation>Antes era Halvora</translation>
    </message>
    <message>
        <source>Doppione cestinato</source>
        <translation>Duplicado enviado a la papelera</translation>
    </message>
    <message>
        <source>Hai due copie</source>
        <translation>Tienes dos copias</translation>
    </message>
    <message>
        <source>Cestina la più vecchia</source>
        <translation>Envía la más antigua a la papelera</translation>
    </message>
</context>
<context>
    <name>InstallazioneCardView</name>
    <message>
        <source>Installami in Applicazioni</source>
        <translation>Instálame en ~/Applications</translation>
    </message>
    <message>
        <source>Installazione in corso…</source>
        <translation>Instalando…</translation>
    </message>
    <message>
        <source>Fatto: sono in Applicazioni</source>
        <translation>Hecho: estoy en ~/Applications</translation>
    </message>
    <message>
        <source>Trascinami tu nella cartella</source>
        <translation>Arrástrame tú a la carpeta</translation>
    </message>
    <message>
        <source>L'AVVIO AL LOGIN NON FUNZIONA DA QUI</source>
        <translation>AQUÍ NO SE ABRE AL INICIAR SESIÓN</translation>
    </message>
    <message>
        <source>APRIMI DA LI' PER FINIRE</source>
        <translation>ÁBREME DESDE ALLÍ PARA TERMINAR</translation>
    </message>
    <message>
        <source>TE LA MOSTRO NEL FINDER</source>
        <translation>LA VERÁS EN EL GESTOR DE ARCHIVOS</translation>
    </message>
    <message>
        <source>Installa</source>
        <translation>Instalar</translation>
    </message>
    <message>
        <source>Apri</source>
        <translation>Abrir</translation>
    </message>
    <message>
        <source>Mostra</source>
        <translation>Mostrar</translation>
    </message>
    <message>
        <source>Copiami in Applicazioni e riavviami da li'</source>
        <translation>Cópiame en ~/Applications y reiníciame desde allí</translation>
    </message>
    <message>
        <source>Apri la copia installata in Applicazioni</source>
        <translation>Abre la copia instalada en ~/Applications</translation>
    </message>
    <message>
        <source>Nascondi fino al prossimo avvio</source>
        <translation>Ocultar hasta el próximo inicio</translation>
    </message>
</context>
</TS>
