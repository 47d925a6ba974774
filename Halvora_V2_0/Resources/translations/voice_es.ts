<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES" sourcelanguage="it_IT">
<context>
    <name>Halvora</name>
    <message>
        <source>Accesso al microfono negato. Abilitalo in Impostazioni di Sistema.</source>
        <translation>Acceso al micrófono denegado: el sistema no lo permite a este usuario.</translation>
    </message>
    <message>
        <source>Copia la trascrizione</source>
        <translation>Copiar la transcripción</translation>
    </message>
    <message>
        <source>Impossibile avviare la registrazione. Controlla il microfono.</source>
        <translation>No se pudo iniciar la grabación. Revisa el micrófono.</translation>
    </message>
    <message>
        <source>Impossibile preparare la cartella dei memo.</source>
        <translation>No se pudo preparar la carpeta de notas.</translation>
    </message>
    <message>
        <source>La cartella non è scrivibile: %1</source>
        <translation>No se puede escribir en la carpeta: %1</translation>
    </message>
    <message>
        <source>Nessuna registrazione</source>
        <translation>Ninguna grabación</translation>
    </message>
    <message>
        <source>Nuovo nome...</source>
        <translation>Nuevo nombre...</translation>
    </message>
    <message>
        <source>Premi il pulsante rosso per iniziare.</source>
        <translation>Pulsa el botón rojo para empezar.</translation>
    </message>
    <message>
        <source>Registrazione non riuscita: %1</source>
        <translation>La grabación falló: %1</translation>
    </message>
    <message>
        <source>Trascrivi il memo</source>
        <translation>Transcribir la nota</translation>
    </message>
    <message>
        <source>VOICE MEMOS</source>
        <translation>NOTAS DE VOZ</translation>
    </message>
    <message>
        <source>Nessun parlato riconosciuto.</source>
        <translation>No se ha reconocido ninguna voz.</translation>
    </message>
    <message>
        <source>Impossibile leggere l'audio.</source>
        <translation>No se ha podido leer el audio.</translation>
    </message>
    <message>
        <source>Riconoscimento vocale non autorizzato. Abilitalo in Impostazioni di Sistema.</source>
        <translation>Reconocimiento de voz no autorizado.</translation>
    </message>
    <message>
        <source>Riconoscimento vocale non disponibile per questa lingua.</source>
        <translation>El reconocimiento de voz no está disponible para este idioma.</translation>
    </message>
    <message>
        <source>Il disco è pieno: impossibile registrare.</source>
        <translation>El disco está lleno: no se puede grabar.</translation>
    </message>
    <message>
        <source>Il disco è pieno: la registrazione si è fermata qui.</source>
        <translation>El disco está lleno: la grabación se detuvo aquí.</translation>
    </message>
    <message>
        <source>Il riconoscimento vocale non ha risposto in tempo.</source>
        <translation>El reconocimiento de voz no respondió a tiempo.</translation>
    </message>
    <message>
        <source>Il riconoscimento vocale si è interrotto.</source>
        <translation>El reconocimiento de voz se interrumpió.</translation>
    </message>
    <message>
        <source>nessun suono dal microfono</source>
        <translation>ningún sonido del micrófono</translation>
    </message>
</context>
</TS>
